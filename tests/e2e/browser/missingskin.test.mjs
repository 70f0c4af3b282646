// A missing inner skin picture: each learning page brings the default error box, the rest of
// that page's handling is skipped, and the client goes on; once the picture is back, the next
// learning page shows it.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { ScenarioTimeout, scenario, screenshot, stagedInstallDir } from './harness.mjs';

const InnerSkin = path.join('resource', 'image', 'So_800_600_inside.png');

// Clicks a link of the page, waits for the error box about the missing picture and closes it.
async function followLinkIntoError(client, href) {
  const since = client.mark();
  await client.clickElement(`a[href="${href}"]`);
  const address = new URL(href, client.page.url()).href;
  await client.waitForLog(`document complete: ${address}`, { since });
  await client.waitForBrowserAt(address);
  const [error] = await client.waitForLog(/^error shown: /, { since });
  assert.ok(error.includes(path.join(client.dir, InnerSkin)), error);
  await client.waitForErrorBox(error.slice('error shown: '.length), since);
  screenshot(`missingskin-${href.split('/').pop()}`);
  await client.closeErrorBox();
  // Nothing else of that page was applied.
  assert.deepEqual(client.matching(/^(page loaded|page document|skin): /, since), []);
}

test('a missing inner skin brings the error box on each learning page, and the client goes on',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'missingskin' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    fs.rmSync(path.join(client.dir, InnerSkin));

    await followLinkIntoError(client, '/sof/Lesson/Index');
    // The next learning page tries the picture again.
    await followLinkIntoError(client, '/sof/Lesson/Unit1');
    assert.equal(client.runningCount(), 1);

    fs.copyFileSync(path.join(stagedInstallDir, InnerSkin), path.join(client.dir, InnerSkin));
    const since = client.mark();
    const unit2 = await client.followLink('/sof/Lesson/Unit2');
    assert.deepEqual(client.matching(/^skin: /, since), ['skin: inner']);
    assert.equal(unit2.hiddenLink, true);
    assert.deepEqual(client.matching('error shown:', since), []);
    screenshot('missingskin-restored');
  }));
