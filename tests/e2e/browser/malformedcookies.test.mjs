// Return cookies with malformed "%" escapes: a return address the client cannot decode brings
// the default error box and leaves the earlier return address and question as they were; a
// malformed escape in the question is dropped.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import {
  Buttons, MessageBox, MessageBoxButtons, ScenarioTimeout, clickInCentredWindow, scenario,
  screenshot,
} from './harness.mjs';

const ReturnTip = '确定要返回主页吗？';
const InvalidHex = 'Invalid HEX digit in URL';

const MalformedReturnURLs = [
  { name: 'no hexadecimal digits after "%"', value: '%zz' },
  { name: 'a lone "%" at the end', value: 'http%3A%2F%2F127.0.0.1%2F%' },
  { name: 'one character after the last "%"', value: 'http%3A%2F%2F127.0.0.1%2' },
];

// The question's text as the site sends it: UTF-8, URL-encoded twice.
function encodedTwice(text) {
  return encodeURIComponent(encodeURIComponent(text));
}

// A page that sets the return cookies to exactly these values.
function rawReturnPage({ url, tip }) {
  const query = new URLSearchParams();
  if (url !== undefined) query.set('url', url);
  if (tip !== undefined) query.set('tip', tip);
  return `/sof/Return/Raw?${query}`;
}

test('a malformed return address shows the error box and keeps the earlier state',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'malformed' }, async ({ server, client }) => {
    const main = `${server.origin}/Home/Home/Main`;
    await client.logIn(server.origin);
    const before = await client.followLink('/sof/Return/Main');
    assert.equal(before.returnURL, main);

    for (const [index, { name, value }] of MalformedReturnURLs.entries()) {
      const since = client.mark();
      const address = await client.goTo(rawReturnPage({ url: value }));
      await client.waitForErrorBox(InvalidHex, since);
      screenshot(`malformed-${index}`);
      await client.closeErrorBox();
      assert.equal(client.page.url(), address, name);
      // The page's state was not applied: the return button still asks the earlier question.
      assert.deepEqual(client.matching(/^page document: /, since), [], name);
      assert.equal(await client.returnButtonAnswers(ReturnTip), true, name);
      assert.equal(client.runningCount(), 1, name);
    }

    // The earlier return address is still the one followed. The cookie the browser holds is
    // still malformed, so the page it leads to brings the box again.
    const since = client.mark();
    client.clickButton(Buttons.returnToMain);
    await client.waitForMessageBox(ReturnTip, since);
    clickInCentredWindow(MessageBox, MessageBoxButtons.ok);
    const [navigate] = await client.waitForLog(/^navigate: /, { since });
    assert.match(navigate, new RegExp(`^navigate: ${main}\\?\\d+$`));
    await client.waitForErrorBox(InvalidHex, since);
    await client.closeErrorBox();
    assert.deepEqual(client.matching(/^page document: /, since), []);
  }));

test('malformed escapes in the return question are dropped, without an error',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'malformedtip' }, async ({ server, client }) => {
    const course = `${server.origin}/sof/Lesson/Index`;
    const tip = '真的要离开吗？';
    const cases = [
      { name: 'no hexadecimal digits after "%"', tip: `%zz${encodedTwice(tip)}` },
      { name: 'a lone "%" at the end', tip: `${encodedTwice(tip)}%` },
      { name: 'an escape of byte 0',
        tip: `${encodedTwice('真的')}%00${encodedTwice('要离开吗？')}` },
    ];
    await client.logIn(server.origin);
    for (const { name, tip: value } of cases) {
      const since = client.mark();
      const address = await client.goTo(rawReturnPage({ url: encodeURIComponent(course),
        tip: value }));
      const document = await client.waitForPage(address, { since });
      assert.equal(document.returnURL, course, name);
      assert.equal(await client.returnButtonAnswers(tip), true, name);
      assert.deepEqual(client.matching('error shown:', since), [], name);
    }
  }));
