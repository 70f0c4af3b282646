// What platform pages ask of the browser beyond the page contract: the microphone for the
// platform's own speaking exercises, refused at once to every other site.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { ScenarioTimeout, scenario, screenshot, waitFor } from './harness.mjs';

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
