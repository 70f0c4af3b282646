// A page that sends 1000 commands in a tight loop: the client stays responsive, the page stays,
// and the return button ends in the state of the last command the client heard.
//
// Every command is a navigation, and the embedded browser lets a page start about 200
// navigations in 10 seconds: it drops the rest before the client sees them (Chromium's
// navigation flood protection, which logs "Throttling navigation to prevent the browser from
// hanging"), so the client hears the first few hundred. With that protection switched off, the
// client hears every command, in order.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Messages, ScenarioTimeout, scenario, screenshot, waitFor } from './harness.mjs';

const ReturnTip = '确定要返回主页吗？';
const Sent = Array.from({ length: 1000 }, (_, i) => (i % 2 === 0 ? 'true' : 'false'));
const HandlerLine = /^page command: enablebackbtn, (true|false)$/;
const BridgeLine = /^page command "enablebackbtn", parameters "(true|false)"$/;

// The lines matching the pattern once no new one has come for a while: the browser hands the
// commands over one by one, long after the page's loop has ended.
async function settledLines(client, pattern, since, quietMs = 3000) {
  let lines = client.matching(pattern, since);
  let quietSince = Date.now();
  await waitFor(() => {
    const now = client.matching(pattern, since);
    if (now.length !== lines.length) {
      lines = now;
      quietSince = Date.now();
    }
    return Date.now() - quietSince >= quietMs;
  }, () => `the commands to stop coming (${lines.length} so far)`, 120000);
  return lines;
}

const cases = [
  { name: 'flood', title: 'as shipped: the client hears the first ones in order',
    clientEnv: {}, everyCommand: false },
  { name: 'floodunthrottled', title: 'without the browser\'s flood protection: all of them',
    clientEnv: { QTWEBENGINE_CHROMIUM_FLAGS: '--disable-ipc-flooding-protection' },
    everyCommand: true },
];

for (const { name, title, clientEnv, everyCommand } of cases) {
  test(`1000 commands in a tight loop, ${title}`, { timeout: ScenarioTimeout },
    (t) => scenario(t, { name, clientEnv }, async ({ server, client }) => {
      const { page } = client;
      await client.logIn(server.origin);
      let since = client.mark();
      const flood = await client.followLink('/sof/Stress/CommandFlood');
      assert.equal(flood.returnButton, true);
      await client.waitForLog('client script added to the top document', { since });

      const address = page.url();
      const pageNumber = await client.pageNumber();
      const requestsBefore = server.mark();
      since = client.mark();
      await client.clickElement('#flood');

      // The window answers while the commands pour in.
      assert.deepEqual(await client.sendMessages([Messages.showMainWindow]), [0]);
      assert.equal(await page.textContent('#floodResult'), '已发送 Sent: 1000');

      const heard = (await settledLines(client, HandlerLine, since))
        .map((line) => HandlerLine.exec(line)[1]);
      // The bridge raised each command once, and the handler saw each.
      assert.deepEqual(client.matching(BridgeLine, since).map((line) => BridgeLine.exec(line)[1]),
        heard);
      t.diagnostic(`${heard.length} of ${Sent.length} commands reached the client`);
      assert.ok(heard.length > 0);
      assert.deepEqual(heard, everyCommand ? Sent : Sent.slice(0, heard.length));

      // The last command heard decides; each is applied as it comes.
      assert.equal(await client.returnButtonAnswers(ReturnTip), heard.at(-1) !== 'false');
      screenshot(`${name}-after`);

      // The page never left and the site heard nothing.
      assert.equal(page.url(), address);
      assert.equal(await client.pageNumber(), pageNumber);
      assert.deepEqual(server.requestsSince(requestsBefore), []);
      assert.deepEqual(client.matching('navigate:', since), []);
      assert.deepEqual(client.matching('error shown:', since), []);
      assert.equal(client.runningCount(), 1);
    }));
}
