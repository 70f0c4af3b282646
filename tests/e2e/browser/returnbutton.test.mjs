// The return button: shown when the site names a return address, asks first when the site
// gives a tip, and leads to the address with a fresh number after "?" or "&".
import assert from 'node:assert/strict';
import { test } from 'node:test';
import {
  Buttons, MessageBox, MessageBoxButtons, ScenarioTimeout, clickInCentredWindow, scenario,
  screenshot,
} from './harness.mjs';

const ReturnTip = '确定要返回主页吗？';

test('the return button asks with the site\'s tip and leads to the return address',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'return' }, async ({ server, client }) => {
    const main = `${server.origin}/Home/Home/Main`;
    await client.logIn(server.origin);

    const returnPage = await client.followLink('/sof/Return/Main');
    assert.equal(returnPage.returnURL, main);
    assert.equal(returnPage.returnButton, true);

    // Cancel: the question closes and the client goes nowhere.
    let since = client.mark();
    const requestsBefore = server.mark();
    client.clickButton(Buttons.returnToMain);
    await client.waitForMessageBox(ReturnTip, since);
    screenshot('return-question');
    clickInCentredWindow(MessageBox, MessageBoxButtons.cancel);
    await client.waitForLog('return question answered 2', { since });
    assert.deepEqual(client.matching('navigate:', since), []);
    assert.match(client.page.url(), /\/sof\/Return\/Main$/);

    // OK: the return address with "?" and a number.
    since = client.mark();
    client.clickButton(Buttons.returnToMain);
    await client.waitForMessageBox(ReturnTip, since);
    clickInCentredWindow(MessageBox, MessageBoxButtons.ok);
    await client.waitForLog('return question answered 1', { since });
    const [navigate] = await client.waitForLog(/^navigate: /, { since });
    const sent = /^navigate: (.*)\?(\d+)$/.exec(navigate);
    assert.ok(sent, navigate);
    assert.equal(sent[1], main);
    assert.ok(Number(sent[2]) <= 9998, sent[2]);
    await client.waitForPage(`${main}?${sent[2]}`, { since });
    // The first request after the cancelled question is the return address.
    assert.equal(server.requestsSince(requestsBefore)[0], `GET /Home/Home/Main?${sent[2]}`);
    screenshot('return-followed');
  }));

test('a return address with a query gets "&" and the number, without a question',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'returnquery' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const withQuery = await client.followLink('/sof/Return/WithQuery');
    const returnURL = `${server.origin}/sof/Lesson/Index?from=return`;
    assert.equal(withQuery.returnURL, returnURL);
    assert.equal(withQuery.returnButton, true);

    const since = client.mark();
    const requestsBefore = server.mark();
    client.clickButton(Buttons.returnToMain);
    const [navigate] = await client.waitForLog(/^navigate: /, { since });
    const sent = /^navigate: (.*)&(\d+)$/.exec(navigate);
    assert.ok(sent, navigate);
    assert.equal(sent[1], returnURL);
    assert.ok(Number(sent[2]) <= 9998, sent[2]);
    // An empty tip asks nothing.
    assert.deepEqual(client.matching(/^message box: /, since), []);
    await client.waitForPage(`${returnURL}&${sent[2]}`, { since });
    assert.equal(server.requestsSince(requestsBefore)[0],
      `GET /sof/Lesson/Index?from=return&${sent[2]}`);
    screenshot('return-query');
  }));
