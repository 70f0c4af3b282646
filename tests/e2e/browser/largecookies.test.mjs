// A page with about 100 KB of cookies: the client still finds the return cookies after them
// and follows them.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import {
  Buttons, MessageBox, MessageBoxButtons, ScenarioTimeout, clickInCentredWindow, scenario,
  screenshot,
} from './harness.mjs';

const ReturnTip = '本页写入了大量 Cookie。确定返回课程目录吗？';
const Fillers = Array.from({ length: 25 }, (_, i) => `Filler${i}`);

test('100 KB of cookies before the return cookies: the client reads past them and follows',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'largecookies' }, async ({ server, client }) => {
    const { page } = client;
    const returnURL = `${server.origin}/sof/Lesson/Index?from=large-cookies`;
    await client.logIn(server.origin);

    const since = client.mark();
    const stress = await client.followLink('/sof/Stress/LargeCookies');
    assert.equal(stress.returnURL, returnURL);
    assert.equal(stress.returnButton, true);
    assert.equal(client.runningCount(), 1);
    assert.deepEqual(client.matching('error shown:', since), []);

    // What the page's script wrote is all there, the return cookies last: the browser keeps no
    // cookie over 4 KB, so a lost one would make this a smaller test.
    const cookie = await page.evaluate(() => document.cookie);
    assert.ok(cookie.length >= 100 * 1024, `${cookie.length} characters`);
    const entries = cookie.split('; ');
    const names = entries.map((entry) => (entry.includes('=') ? entry.split('=')[0] : ''));
    for (const name of [...Fillers, 'BadEscapes', ''])
      assert.ok(names.includes(name), `no cookie named "${name}"`);
    assert.ok(names.indexOf('ReturnURL') > names.indexOf('BadEscapes'), names.join(', '));
    screenshot('largecookies');

    // The question is the site's tip, and OK leads to the return address with a number.
    const returnSince = client.mark();
    const requestsBefore = server.mark();
    client.clickButton(Buttons.returnToMain);
    await client.waitForMessageBox(ReturnTip, returnSince);
    clickInCentredWindow(MessageBox, MessageBoxButtons.ok);
    await client.waitForLog('return question answered 1', { since: returnSince });
    const [navigate] = await client.waitForLog(/^navigate: /, { since: returnSince });
    const sent = /^navigate: (.*)&(\d+)$/.exec(navigate);
    assert.ok(sent, navigate);
    assert.equal(sent[1], returnURL);
    await client.waitForPage(`${returnURL}&${sent[2]}`, { since: returnSince });
    assert.equal(server.requestsSince(requestsBefore)[0],
      `GET /sof/Lesson/Index?from=large-cookies&${sent[2]}`);

    // The page took its cookies away when it was left.
    const left = await client.cookies(`${server.origin}/sof/Stress/LargeCookies`);
    assert.deepEqual(left.filter((c) => Fillers.includes(c.name)).map((c) => c.name), []);
    assert.deepEqual(client.matching('error shown:', since), []);
  }));
