// Reloading is refused: neither the reload key nor a page script's reload loads the page again.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { ScenarioTimeout, pressKey, scenario, screenshot, waitFor } from './harness.mjs';

test('the reload key and location.reload() leave the page as it is',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'reload' }, async ({ server, client }) => {
    const { page } = client;
    await client.logIn(server.origin);
    await client.followLink('/sof/Lesson/Index');
    await client.followLink('/sof/Lesson/Unit1');
    const address = page.url();
    const pageNumber = await client.pageNumber();
    // What the page holds in memory is lost when it is loaded again.
    await page.evaluate(() => {
      window.keysSeen = [];
      window.addEventListener('keydown', (event) => window.keysSeen.push(event.key));
    });
    const requestsBefore = server.mark();

    // The reload key, pressed over the page as a person would.
    await client.clickElement('h1');
    pressKey('F5');
    await waitFor(() => page.evaluate(() => window.keysSeen?.includes('F5')),
      () => 'the page to see the F5 key');

    const since = client.mark();
    await page.evaluate(() => window.location.reload());
    await client.waitForLog('reload refused', { since });

    assert.deepEqual(await page.evaluate(() => window.keysSeen), ['F5']);
    assert.equal(page.url(), address);
    assert.equal(await client.pageNumber(), pageNumber);
    screenshot('reload-refused');

    // The next page is the first thing the site hears of after the reloads.
    await client.followLink('/sof/Lesson/Unit2');
    assert.deepEqual(server.requestsSince(requestsBefore), ['GET /sof/Lesson/Unit2']);
  }));
