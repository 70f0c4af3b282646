// New windows a page opens are plain windows of the client, eight at most at a time; a page
// closes its own window.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import {
  ScenarioTimeout, askWindowToClose, clickAt, scenario, waitFor, xdotool,
} from './harness.mjs';

const MaxPageWindows = 8;
const LessonWindow = '^第一单元 Unit 1';
const MaterialWindow = '^课程资料 Material';

test('a page opens at most eight windows and goes on; closing one makes room for the next',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'pagewindowcap' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const address = `${server.origin}/sof/Windows/Open`;
    let since = client.mark();
    await client.goTo(address);
    await client.waitForPage(address, { since });
    const button = await client.elementCentreOnScreen('#openLesson');

    // These clicks go through the debugging connection: the windows that open over the main
    // window do not catch them.
    since = client.mark();
    for (let click = 0; click < MaxPageWindows; ++click)
      await client.page.click('#openLesson');
    await client.waitForLog('new window opened', { since, count: MaxPageWindows });
    const windows = await waitFor(() => {
      const open = client.visibleWindows(LessonWindow);
      return open.length === MaxPageWindows ? open : null;
    }, () => `${MaxPageWindows} lesson windows`);

    // The debugging connection holds a refused window's page for itself, and the opener with
    // it: the refused clicks are a person's, with the windows moved off the button (the test
    // display has no window manager to stack them).
    await client.browser.close();
    for (const window of windows) xdotool('windowmove', window, '0', '900');
    const requests = server.mark();
    since = client.mark();
    clickAt(button.x, button.y);
    await client.waitForLog(`new window refused: ${MaxPageWindows} are open`, { since });
    clickAt(button.x, button.y);
    await client.waitForLog(`new window refused: ${MaxPageWindows} are open`, { since, count: 2 });
    assert.deepEqual(client.matching('new window opened', since), []);
    // The page was not held up by the refusals.
    await waitFor(() => server.requestsSince(requests)
      .filter((line) => line === 'GET /sof/Windows/Opened').length === 2,
    () => 'the page to go on after both refused windows');

    askWindowToClose(windows[0]);
    await waitFor(() => client.visibleWindows(LessonWindow).length === MaxPageWindows - 1,
      () => 'one window to close');
    since = client.mark();
    clickAt(button.x, button.y);
    await client.waitForLog('new window opened', { since });
    await waitFor(() => client.visibleWindows(LessonWindow).length === MaxPageWindows,
      () => 'the new window to show');
  }));

test('a window\'s own close button closes it and frees its place for the next window',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'pagewindowclose' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const address = `${server.origin}/sof/Windows/Open`;
    let since = client.mark();
    await client.goTo(address);
    await client.waitForPage(address, { since });

    since = client.mark();
    for (let click = 0; click < MaxPageWindows; ++click)
      await client.page.click('#openMaterial');
    await client.waitForLog('new window opened', { since, count: MaxPageWindows });
    await waitFor(() => client.visibleWindows(MaterialWindow).length === MaxPageWindows,
      () => `${MaxPageWindows} material windows`);
    const material = `${server.origin}/sof/Windows/Material`;
    const pages = await waitFor(() => {
      const open = client.browser.contexts().flatMap((c) => c.pages())
        .filter((p) => p.url() === material);
      return open.length === MaxPageWindows ? open : null;
    }, () => 'the material windows\' pages over the debugging connection');

    // The page's "关闭" button, pressed after the evaluation has returned: the page goes with it.
    since = client.mark();
    await pages[0].evaluate(() => {
      setTimeout(() => document.getElementById('closeWindow').click(), 0);
    });
    await waitFor(() => client.visibleWindows(MaterialWindow).length === MaxPageWindows - 1,
      () => 'the window to close');
    await client.waitForLog('new window closed by its page', { since });

    since = client.mark();
    await client.page.click('#openMaterial');
    await client.waitForLog('new window opened', { since });
    assert.deepEqual(client.matching('new window refused', since), []);
    await waitFor(() => client.visibleWindows(MaterialWindow).length === MaxPageWindows,
      () => 'the next window in the freed place');
  }));
