// The platform's old pages ask the student in web-page dialogs and wait for the answer, and
// some send their text without naming its character set.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import {
  ScenarioTimeout, askWindowToClose, clickAt, scenario, screenshot, waitFor, windowGeometry, within,
} from './harness.mjs';

const DialogWindow = '^选择单元 Choose a unit$';

// The dialog's page over the debugging connection, once its units are shown.
async function dialogPage(client, level) {
  return waitFor(async () => {
    for (const context of client.browser.contexts())
      for (const page of context.pages()) {
        if (!page.url().includes('/sof/ie/chooser')) continue;
        // A dialog that waits for the one it opened answers nothing until that one closes.
        const shown = await within(1000, page.evaluate(() => ({
          level: document.getElementById('level')?.textContent,
          units: document.querySelectorAll('input[name=unit]').length,
        })).catch(() => null), null);
        if (shown && shown.level === String(level) && shown.units === 3) return page;
      }
    return null;
  }, () => `the chooser dialog at level ${level}`);
}

async function choiceShown(client, selector, text) {
  await waitFor(async () => (await client.page.textContent(selector)) === text,
    () => `the page to show ${text} in ${selector}`);
}

test('a modal dialog holds the page\'s script until it closes, and gives back its value',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'iedialog' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const address = `${server.origin}/sof/ie/dialog`;
    let since = client.mark();
    await client.goTo(address);
    await client.waitForPage(address, { since });

    // How the dialog ends, and what the calling script receives.
    const endings = [
      { how: 'chosen', end: (page) => page.click('#ok'), shown: 'Unit 2 学习方法' },
      { how: 'cancelled', end: (page) => page.click('#cancel'), shown: '（未选择）' },
      { how: 'another unit, then its window closed as a window manager does',
        end: async (page, dialogWindow) => {
          await page.check('input[name=unit][value="2"]');
          await page.evaluate(() => { window.returnValue = 'Unit 3 网络时代'; });
          askWindowToClose(dialogWindow);
        },
        shown: 'Unit 3 网络时代' },
    ];
    for (const { how, end, shown } of endings) {
      await client.page.evaluate(() => { document.all.choice.innerText = 'waiting'; });
      since = client.mark();
      await client.clickElement('#chooseUnit');
      const page = await dialogPage(client, 0);
      const [window] = await client.waitForVisibleWindow(DialogWindow);
      const geometry = windowGeometry(window);
      assert.deepEqual({ width: geometry.width, height: geometry.height },
        { width: 360, height: 260 }, how);
      // The dialog is the platform's page with the student's session.
      assert.equal(await page.textContent('#user'), 'liming', how);
      assert.equal(await page.evaluate(() => window.dialogArguments.title), '请选择单元', how);
      screenshot(`iedialog-${endings.indexOf(endings.find((e) => e.how === how))}`);
      await end(page, window);
      await choiceShown(client, '#choice', shown);
      await client.waitForLog('modal dialog closed: ', { since });
      await waitFor(() => client.visibleWindows(DialogWindow).length === 0,
        () => `${how}: the dialog to close`);
    }
  }));

test('dialogs open dialogs four deep; the fifth and bad calls get a clear answer at once',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'iedialognest' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const address = `${server.origin}/sof/ie/dialog`;
    let since = client.mark();
    await client.goTo(address);
    await client.waitForPage(address, { since });

    since = client.mark();
    await client.clickElement('#chooseNested');
    // Each dialog opens over the one before, in the same place: a person's click there
    // reaches the newest.
    for (let level = 1; level <= 4; level++) {
      const page = await dialogPage(client, level);
      const [window] = await client.waitForVisibleWindow(DialogWindow);
      const at = windowGeometry(window);
      const button = await page.evaluate(() => {
        const box = document.getElementById('deeper').getBoundingClientRect();
        return { x: box.left + box.width / 2, y: box.top + box.height / 2 };
      });
      clickAt(at.x + button.x, at.y + button.y);
    }
    await client.waitForLog('modal dialog refused: 4 are open', { since });
    // Each dialog closes with what the one it opened gave back, marked with the level it
    // asked for; the fifth was refused and gave back nothing.
    await choiceShown(client, '#nested', '<5<4<3<2');
    assert.equal(client.matching(/^modal dialog opened: /, since).length, 4);

    const other = `http://localhost:${new URL(server.origin).port}`;
    const calls = [
      { what: 'a function in the arguments',
        call: () => showModalDialog('/sof/ie/chooser', { pick: function () {} }) },
      { what: 'an element in the arguments',
        call: () => showModalDialog('/sof/ie/chooser', [document.body]) },
      { what: 'a cyclic object in the arguments', call: () => {
        const a = {}; a.self = a; return showModalDialog('/sof/ie/chooser', a); } },
      { what: 'no address', call: () => showModalDialog() },
    ];
    for (const { what, call } of calls) {
      const answer = await client.page.evaluate(`(() => { try { return 'returned ' +
        (${call.toString()})(); } catch (e) { return e.message + ' ' + e.number; } })()`);
      assert.equal(answer, 'Invalid argument. -2147024809', what);
    }
    // Another site's page in a dialog is refused: the call returns at once with nothing.
    since = client.mark();
    assert.equal(await client.page.evaluate(
      (page) => String(showModalDialog(page, 1, 'dialogWidth:10px')), `${other}/sof/ie/chooser`),
    'undefined');
    await client.waitForLog(/^page channel refused: parvelo-ie:\/\/client\/dialog\?/, { since });
    assert.deepEqual(client.matching(/^modal dialog opened: /, since), []);
  }));

test('other sites get no dialogs and cannot reach the client\'s channel',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'iedialogother' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const other = `http://localhost:${new URL(server.origin).port}`;
    const address = `${other}/sof/ie/dialog`;
    let since = client.mark();
    await client.goTo(address);
    await client.waitForPage(address, { since });
    assert.deepEqual(await client.page.evaluate(() => [typeof window.showModalDialog,
      typeof window.showModelessDialog]), ['undefined', 'undefined']);
    since = client.mark();
    const calls = ['clipboard', 'clipboard?set=x', 'refused-class?progid=x',
      `dialog?url=${encodeURIComponent(`${server.origin}/sof/ie/chooser`)}`,
      `media?src=${encodeURIComponent(`${server.origin}/media/tone.wav`)}`];
    for (const call of calls) {
      const answer = await client.page.evaluate((url) => {
        const request = new XMLHttpRequest();
        request.open('GET', url, false);
        try {
          request.send();
          return `answered ${request.status}`;
        } catch (e) {
          return 'failed';
        }
      }, `parvelo-ie://client/${call}`);
      assert.equal(answer, 'failed', call);
    }
    await client.waitForLog(/^page channel refused: /, { since, count: calls.length });
    assert.deepEqual(client.matching(/^modal dialog opened: /, since), []);
  }));

test('a page that names no character set is read as GBK; a named one keeps its meaning',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'iecharset' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const cases = [
      // Too little Chinese for the engine's own guess: a title of two words, and what the
      // page's script adds later.
      { path: '/sof/ie/nocharset/short', title: '英语', text: 'Unit 1, Part A',
        later: '第二部分', form: 'GBK' },
      { path: '/sof/ie/nocharset/mixed', title: 'Unit 1 Listening',
        text: 'Listen to the dialogue and answer the questions. Score: 90 / 100. 答案' },
      { path: '/sof/ie/nocharset/long', title: '大学英语四级听力练习',
        text: '请仔细听录音，然后回答下面的问题。每段对话播放两遍。' },
      { path: '/sof/ie/utf8meta', charset: 'UTF-8', title: '听力', text: '单元' },
      { path: '/sof/ie/western', charset: 'windows-1252', title: 'Café',
        text: 'naïve résumé' },
      // Bytes of GBK text in a page whose header names a Western set stay Western.
      { path: '/sof/ie/westernheader', charset: 'windows-1252', title: 'Ó¢Óï', text: 'Unit' },
    ];
    for (const { path, charset, title, text, later, form } of cases) {
      const address = `${server.origin}${path}`;
      const since = client.mark();
      await client.goTo(address);
      await client.waitForPage(address, { since });
      if (later) {
        await waitFor(async () => (await client.page.textContent('#later')) === later,
          () => `${path}: the script's text read as GBK`);
      }
      const shown = await client.page.evaluate(() => ({ charset: document.characterSet,
        title: document.title, text: document.getElementById('text').textContent,
        form: document.forms.length ? document.forms[0].acceptCharset : undefined }));
      assert.deepEqual({ title: shown.title, text: shown.text }, { title, text }, path);
      if (charset) assert.equal(shown.charset, charset, path);
      assert.equal(shown.form, form, path);
    }
  }));
