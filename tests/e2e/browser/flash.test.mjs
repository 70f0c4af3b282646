// Flash content of older lesson pages plays in place, with its sound, on the platform's own
// pages only.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { ScenarioTimeout, scenario, screenshot, sleep, waitFor } from './harness.mjs';

const PlayerScheme = 'parvelo-flash:';

// What the client put into a document for Flash content, seen from the page.
function injected(frame) {
  return frame.evaluate((scheme) => ({
    player: typeof window.RufflePlayer !== 'undefined',
    scripts: [...document.scripts].filter((s) => s.src.startsWith(scheme)).length,
    elements: document.querySelectorAll('ruffle-embed, ruffle-object').length,
  }), PlayerScheme);
}

const Nothing = { player: false, scripts: 0, elements: 0 };

// The player element that took the movie's place, once its movie has loaded; its size.
async function loadedPlayer(client, tag) {
  return waitFor(() => client.page.evaluate((name) => {
    const player = document.querySelector(name);
    // 2: the movie is loaded.
    if (!player || player.readyState !== 2) return null;
    const box = player.getBoundingClientRect();
    return { x: box.x, y: box.y, width: box.width, height: box.height };
  }, tag), () => `a ${tag} with its movie loaded`);
}

// Two pictures of the area a little apart differ while the movie plays.
async function pictureChanges(client, box) {
  const clip = { x: box.x, y: box.y, width: box.width, height: box.height };
  const first = await client.page.screenshot({ clip });
  await sleep(400);
  const second = await client.page.screenshot({ clip });
  return !first.equals(second);
}

const flashPages = [
  { path: '/sof/Flash/Embed', tag: 'ruffle-embed' },
  { path: '/sof/Flash/Object', tag: 'ruffle-object' },
  // The page's script adds the movie half a second after the page has loaded.
  { path: '/sof/Flash/Later', tag: 'ruffle-embed' },
];

test('the platform\'s Flash movies play in place with their sound; the page still works',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'flash', withSound: true }, async ({ server, client, sound }) => {
    await client.logIn(server.origin);
    for (const { path, tag } of flashPages) {
      const address = `${server.origin}${path}`;
      let since = client.mark();
      await client.goTo(address);
      await client.waitForPage(address, { since });
      const box = await loadedPlayer(client, tag);
      assert.deepEqual({ width: box.width, height: box.height }, { width: 320, height: 160 },
        path);
      assert.ok(await pictureChanges(client, box), `${path}: the movie's picture changes`);
      const peak = await sound.loudspeakerPeak(1500);
      screenshot(`flash-${tag}-${path.split('/').pop().toLowerCase()}`);
      assert.ok(peak > 0.05, `${path}: the loudspeaker heard the tone (peak ${peak.toFixed(4)})`);
      assert.deepEqual(client.matching(/^flash content: /, since),
        [`flash content: ${server.origin}/, player loaded`], path);

      // The page's own script and links beside the movie.
      await client.clickElement('#countButton');
      await waitFor(async () => (await client.page.textContent('#countResult')) === '1',
        () => `${path}: the page's button to count the click`);
      since = client.mark();
      await client.clickElement('#unitLink');
      await client.waitForPage(`${server.origin}/sof/Lesson/Unit1`, { since });
    }
  }));

test('other sites\' pages and frames, and the platform\'s pages without Flash, get nothing',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'noflash' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const other = `http://localhost:${new URL(server.origin).port}`;
    // The log-in ends on the main page: going there again first would be a reload, which the
    // client refuses.
    const cases = [
      { address: `${server.origin}/sof/Lesson/Unit1`, lines: [] },
      { address: `${server.origin}/Home/Home/Main`, lines: [] },
      { address: `${other}/sof/Flash/Embed`, lines: [`flash content: ${other}/, no player`] },
      // The frame holds the movie; the platform's page around it holds none.
      { address: `${server.origin}/sof/Flash/OtherFrame`,
        lines: [`flash content: ${other}/, no player`] },
    ];
    for (const { address, lines } of cases) {
      const since = client.mark();
      await client.goTo(address);
      await client.waitForPage(address, { since });
      // The page's script adds nothing later, but give the client's script time to answer.
      await sleep(1000);
      for (const frame of client.page.frames())
        assert.deepEqual(await injected(frame), Nothing, `${address}: ${frame.url()}`);
      assert.deepEqual(client.matching(/^flash content: /, since), lines, address);
    }

    // Another site can neither load the player's files itself nor go to them.
    const page = `${other}/sof/Flash/Embed`;
    let since = client.mark();
    await client.goTo(page);
    await client.waitForPage(page, { since });
    since = client.mark();
    const loaded = await client.page.evaluate((src) => new Promise((resolve) => {
      const script = document.createElement('script');
      script.onload = () => resolve('loaded');
      script.onerror = () => resolve('failed');
      script.src = src;
      document.head.appendChild(script);
    }), `${PlayerScheme}//player/ruffle.js`);
    assert.equal(loaded, 'failed');
    await client.waitForLog(
      `flash player file refused: ${PlayerScheme}//player/ruffle.js for ${other}`, { since });
    since = client.mark();
    await client.goTo(`${PlayerScheme}//player/pageplayer.js`);
    await client.waitForLog(`navigation refused: ${PlayerScheme}//player/pageplayer.js`, { since });
    assert.equal(client.page.url(), page);
  }));
