// What platform pages ask of the browser beyond the page contract: the microphone for the
// platform's own speaking exercises, refused at once to every other site.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import {
  ScenarioTimeout, askWindowToClose, pressKey, scenario, screenSize, screenshot, waitFor,
  windowGeometry,
} from './harness.mjs';

// Clicks the page's record button and waits for the page's own report of the outcome.
async function recordOneSecond(client) {
  await client.clickElement('#record');
  return waitFor(async () => {
    const state = await client.page.textContent('#recordState');
    return /^(recorded|refused)/.test(state) ? state : null;
  }, () => 'the page to report its recording');
}

test('the platform\'s pages record through the microphone; another site is refused at once',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'microphone', withSound: true }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const own = `${server.origin}/sof/Media/Record`;
    let since = client.mark();
    await client.goTo(own);
    await client.waitForPage(own, { since });
    assert.match(await recordOneSecond(client), /^recorded [1-9]\d*$/);
    screenshot('microphone-recorded');
    assert.deepEqual(client.matching(/^permission (granted|refused): /, since),
      [`permission granted: microphone for ${server.origin}/`]);

    // The same page on another origin of the same machine: not the platform.
    const other = `http://localhost:${new URL(server.origin).port}/sof/Media/Record`;
    since = client.mark();
    await client.goTo(other);
    await client.waitForPage(other, { since });
    assert.match(await recordOneSecond(client), /^refused NotAllowedError after \d+ ms$/);
    assert.deepEqual(client.matching(/^permission (granted|refused): /, since),
      [`permission refused: microphone for ${new URL(other).origin}/`]);
  }));

test('a link with a target and a clicked window.open open plain windows; a script alone opens none',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'newwindows' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const address = `${server.origin}/sof/Windows/Open`;
    let since = client.mark();
    await client.goTo(address);
    await client.waitForPage(address, { since });

    const requests = server.mark();
    since = client.mark();
    await client.clickElement('#blankLink');
    await client.waitForLog('new window opened', { since });
    const [unit1Window] = await client.waitForVisibleWindow('^第一单元 Unit 1');
    await server.waitForRequest(/^GET \/sof\/Lesson\/Unit1$/, { since: requests });
    // It lies over the main window: closed as a person would, before the next click.
    askWindowToClose(unit1Window);
    await waitFor(() => client.visibleWindows('^第一单元 Unit 1').length === 0,
      () => 'the new window to close');

    // The display has no window manager to hand the focus back: a click that only reaches the
    // main window once the other has gone is given again.
    since = client.mark();
    await client.clickElement('#openWindow');
    const opened = await client.waitForLog('new window opened', { since, timeoutMs: 5000 })
      .catch(() => null);
    if (!opened) {
      await client.clickElement('#openWindow');
      await client.waitForLog('new window opened', { since });
    }
    await client.waitForVisibleWindow('^个人信息 My profile');
    // The same browser profile: the window knows the student who logged in.
    const profile = await waitFor(() => client.browser.contexts().flatMap((c) => c.pages())
      .find((p) => p.url() === `${server.origin}/Home/Home/BaseInfo`),
    () => 'the new window\'s page over the debugging connection');
    await waitFor(async () => (await profile.textContent('main')).includes('liming'),
      () => 'the profile page to show the student');
    screenshot('newwindows-open');

    // Without a click a page opens nothing.
    const popup = `${server.origin}/sof/Windows/PopUp`;
    since = client.mark();
    await client.goTo(popup);
    await client.waitForPage(popup, { since });
    await waitFor(async () => (await client.page.textContent('#popupResult')) !== 'pending',
      () => 'the page to try its pop-up');
    assert.equal(await client.page.textContent('#popupResult'), 'blocked');
    assert.deepEqual(client.matching('new window opened', since), []);
  }));

test('a file offered for download is saved in the download folder, never over another',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'downloads' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const address = `${server.origin}/sof/Downloads`;
    let since = client.mark();
    await client.goTo(address);
    await client.waitForPage(address, { since });
    const folder = path.join(client.homeDir, 'Downloads');
    for (const name of ['unit1-notes.txt', 'unit1-notes (1).txt']) {
      since = client.mark();
      await client.clickElement('#notesLink');
      const file = path.join(folder, name);
      await client.waitForLog(`download finished: ${file}`, { since });
      assert.equal(fs.readFileSync(file, 'utf8'),
        'Unit 1: Campus life\nWords: library, lecture, dormitory\n');
    }
    await client.waitForVisibleWindow('^下载$');
    screenshot('downloads-finished');
    assert.deepEqual(fs.readdirSync(folder).sort(), ['unit1-notes (1).txt', 'unit1-notes.txt']);
    assert.equal(client.page.url(), address);
  }));

test('a page that offers download after download saves eight files and opens eight notices at most',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'downloadflood' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const address = `${server.origin}/sof/Downloads`;
    let since = client.mark();
    await client.goTo(address);
    await client.waitForPage(address, { since });
    since = client.mark();
    await client.clickElement('#allNotes');
    await client.waitForLog('download finished: ', { since, count: 8 });
    await client.waitForLog(/^download refused: 8 notices are open: /, { since, count: 2 });
    const folder = path.join(client.homeDir, 'Downloads');
    assert.equal(fs.readdirSync(folder).length, 8);
    await waitFor(() => client.visibleWindows('^下载$').length === 8, () => 'eight notices');
    assert.equal(client.matching('download started: ', since).length, 8);
  }));

test('the platform\'s video fills the screen and Escape brings the window back; another site\'s does not',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'fullscreen' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const own = `${server.origin}/sof/Media/Video`;
    let since = client.mark();
    await client.goTo(own);
    await client.waitForPage(own, { since });
    const window = windowGeometry(client.mainWindowId());
    const state = async (wanted) => waitFor(async () => {
      const text = await client.page.textContent('#screenState');
      return wanted.test(text) ? text : null;
    }, () => `the page's screen state to match ${wanted}`);

    since = client.mark();
    await client.clickElement('#fullscreen');
    await state(/^full$/);
    await waitFor(async () => Number(await client.page.textContent('#pageWidth')) ===
      screenSize().width, () => 'the page to be as wide as the screen');
    screenshot('fullscreen-on');
    pressKey('Escape');
    await state(/^normal$/);
    await waitFor(async () => Number(await client.page.textContent('#pageWidth')) === 796,
      () => 'the page back in its panel');
    assert.deepEqual(windowGeometry(client.mainWindowId()), window);
    assert.deepEqual(client.matching(/^full screen /, since).map((l) => l.replace(/: .*, /, ': ')),
      ['full screen asked: accepted', 'full screen left: accepted']);

    const other = `http://localhost:${new URL(server.origin).port}/sof/Media/Video`;
    since = client.mark();
    await client.goTo(other);
    await client.waitForPage(other, { since });
    await client.clickElement('#fullscreen');
    const [refused] = await client.waitForLog(/^full screen asked: /, { since });
    assert.match(refused, /, refused$/);
    await state(/^(normal|refused \w+)$/);
    assert.equal(Number(await client.page.textContent('#pageWidth')), 796);
  }));
