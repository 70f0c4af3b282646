// Links to other programs (ssh:, smb:, mailto:, a custom scheme) never reach the desktop: not
// from the page, not from a frame of another origin. They do nothing visible.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { test } from 'node:test';
import {
  BrowserPanel, FakeOpeners, MainWindow, ScenarioTimeout, centredOrigin, clickAt, scenario,
  screenshot, sleep, waitFor,
} from './harness.mjs';

const Links = ['sshLink', 'smbLink', 'customLink', 'mailLink'];
const FrameLinks = ['sshLink', 'smbLink', 'customLink'];

// Clicks an element of a frame as a person would: its box is given in the page's coordinates.
async function clickInFrame(frame, selector) {
  const box = await frame.locator(selector).boundingBox();
  if (!box) throw new Error(`no ${selector} in ${frame.url()}`);
  const origin = centredOrigin(MainWindow);
  clickAt(origin.x + BrowserPanel.x + box.x + box.width / 2,
    origin.y + BrowserPanel.y + box.y + box.height / 2);
}

test('links to other programs are refused in the page and in frames of other origins',
  { timeout: ScenarioTimeout }, async (t) => {
    const openers = new FakeOpeners();
    t.after(() => openers.remove());
    // The stand-ins are what the desktop would run.
    spawnSync('sh', ['-c', 'xdg-open probe:'], { env: { ...process.env, ...openers.env } });
    assert.deepEqual(openers.calls(), ['xdg-open probe:']);
    fs.rmSync(openers.recordPath);

    await scenario(t, { name: 'schemes', clientEnv: openers.env }, async ({ server, client }) => {
      await client.logIn(server.origin);
      const address = `${server.origin}/sof/Links/External`;
      const since = client.mark();
      await client.clickElement('a[href="/sof/Links/External"]');
      await client.waitForPage(address, { since });
      const frameAddress = `http://localhost:${new URL(server.origin).port}/sof/Links/ExternalFrame`;
      await client.waitForLog(`page loaded: ${frameAddress}`, { since });
      const frame = await waitFor(() => client.page.frames().find((f) => f.url() === frameAddress),
        () => `the frame ${frameAddress} over the debugging connection`);

      const requests = server.mark();
      const clicked = client.mark();
      for (const id of Links) {
        await client.clickElement(`#${id}`);
        await sleep(500);
      }
      for (const id of FrameLinks) {
        await clickInFrame(frame, `#${id}`);
        await sleep(500);
      }
      // Whatever the desktop would have started takes its time: give it some.
      await sleep(1500);
      screenshot('schemes-refused');
      assert.deepEqual(openers.calls(), []);
      assert.equal(client.page.url(), address);
      assert.deepEqual(server.requestsSince(requests), []);
      // Each attempt is in the log, with the address it went for.
      const refused = await client.waitForLog(/^navigation refused: /,
        { since: clicked, count: Links.length + FrameLinks.length });
      for (const scheme of ['ssh:', 'smb:', 'x-lesson-player:', 'mailto:'])
        assert.ok(refused.some((line) => line.startsWith(`navigation refused: ${scheme}`)),
          `a refusal of ${scheme} in ${refused.join(' | ')}`);
      assert.equal(client.matching(/^navigation error/, since).length, 0);
    });
  });
