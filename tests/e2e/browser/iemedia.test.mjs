// The old pages' media-player objects play in place on the platform's pages: the object model
// the pages script, the drawn controls, Windows Media audio converted by the client, notices
// for what cannot play; other sites' pages keep their elements as the engine leaves them.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { BrowserPanel, MainWindow, ScenarioTimeout, centredOrigin, clickAt, scenario,
  screenshot, sleep, waitFor } from './harness.mjs';

const CannotPlay = '无法播放此媒体文件。';
const WmvNotice = '此视频为 WMV 格式，客户端无法播放。';
// The old player's play states (version 7 and later).
const State = { stopped: 1, paused: 2, playing: 3, ended: 8, ready: 10 };

async function open(client, address) {
  const since = client.mark();
  await client.goTo(address);
  await client.waitForPage(address, { since });
}

// The player drawn for an element, as a person sees it: its box, whether its controls and
// its notice show.
function drawnPlayer(client, id) {
  return client.page.evaluate((elementId) => {
    const element = document.getElementById(elementId);
    const host = element && element.nextElementSibling;
    if (!host || host.localName !== 'ie-media-player') return null;
    const shown = (part) => {
      const box = part.getBoundingClientRect();
      return !part.hidden && box.width > 0 && box.height > 0;
    };
    const box = host.getBoundingClientRect();
    const notice = host.shadowRoot.querySelector('.notice');
    return {
      width: Math.round(box.width),
      height: Math.round(box.height),
      controls: shown(host.shadowRoot.querySelector('.bar')),
      notice: shown(notice) ? notice.textContent : '',
    };
  }, id);
}

// Evaluates an expression of the page's object model, e.g. "Player.playState".
function model(client, expression) {
  return client.page.evaluate((text) => Function(`return (${text});`)(), expression);
}

function waitForModel(client, expression, expected) {
  return waitFor(async () => (await model(client, expression)) === expected,
    () => `${expression} to be ${expected}`);
}

// A mouse click on a part of an element's drawn player, at a fraction of its width.
async function clickPlayerPart(client, id, part, fraction = 0.5) {
  const at = await client.page.evaluate(({ elementId, selector, along }) => {
    const host = document.getElementById(elementId).nextElementSibling;
    host.scrollIntoView({ block: 'center' });
    const box = host.shadowRoot.querySelector(selector).getBoundingClientRect();
    return { x: box.left + box.width * along, y: box.top + box.height / 2 };
  }, { elementId: id, selector: part, along: fraction });
  const origin = centredOrigin(MainWindow);
  clickAt(origin.x + BrowserPanel.x + at.x, origin.y + BrowserPanel.y + at.y);
}

async function heard(sound, what) {
  const peak = await sound.loudspeakerPeak(1500);
  assert.ok(peak > 0.05, `${what}: the loudspeaker heard it (peak ${peak.toFixed(4)})`);
}

test('a WAV listening object plays in place at its size; the object model and the drawn ' +
  'controls work', { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'iemediawav', withSound: true }, async ({ server, client, sound }) => {
    await client.logIn(server.origin);
    await open(client, `${server.origin}/sof/ie/Media/Wav`);

    await waitForModel(client, 'Player.playState', State.playing);
    await heard(sound, 'the WAV object');
    // The page's script right after the object already had its object model, loading.
    assert.equal(await client.page.textContent('#modelSeen'), 'function 9');

    const boxes = [
      { id: 'Player', box: { width: 320, height: 240, controls: true, notice: '' } },
      // Sized by its style; uiMode "none" keeps the box without controls.
      { id: 'QuietPlayer', box: { width: 200, height: 150, controls: false, notice: '' } },
      { id: 'HiddenPlayer', box: { width: 0, height: 0, controls: false, notice: '' } },
      // No size given: the old player's own.
      { id: 'PlainPlayer', box: { width: 320, height: 240, controls: true, notice: '' } },
      { id: 'NoControlsPlayer', box: { width: 240, height: 60, controls: false, notice: '' } },
    ];
    for (const { id, box } of boxes)
      assert.deepEqual(await drawnPlayer(client, id), box, id);
    assert.equal(await model(client, 'Player.getBoundingClientRect().width'), 0,
      'the element itself is hidden');
    screenshot('iemedia-wav');

    // The page's object model: each call's state, and the events the page hears.
    await model(client, `(window.heardStates = [],
      Player.attachEvent('PlayStateChange', function (s) { heardStates.push(s); }))`);
    await model(client, 'Player.controls.pause()');
    await waitForModel(client, 'Player.playState', State.paused);
    await sleep(500);
    const quiet = await sound.loudspeakerPeak(800);
    assert.ok(quiet < 0.01, `paused: the loudspeaker is quiet (peak ${quiet.toFixed(4)})`);
    await model(client, 'Player.controls.currentPosition = 5');
    const position = await model(client, 'Player.controls.currentPosition');
    assert.ok(Math.abs(position - 5) < 0.5, `the position set while paused: ${position}`);
    await model(client, 'Player.controls.play()');
    await waitForModel(client, 'Player.playState', State.playing);
    assert.ok(await model(client, 'Player.controls.currentPosition') >= 5, 'played on from 5 s');
    await model(client, 'Player.controls.stop()');
    assert.equal(await model(client, 'Player.playState'), State.stopped);
    assert.equal(await model(client, 'Player.controls.currentPosition'), 0);
    assert.deepEqual(await model(client, 'heardStates'),
      [State.paused, State.playing, State.stopped]);
    assert.equal(await model(client, 'Math.round(Player.currentMedia.duration)'), 8);
    assert.equal(await model(client, 'Player.currentMedia.durationString'), '00:08');

    // The drawn controls, clicked with the mouse.
    await clickPlayerPart(client, 'Player', '.play');
    await waitForModel(client, 'Player.playState', State.playing);
    await heard(sound, 'played with the drawn button');
    await clickPlayerPart(client, 'Player', '.play');
    await waitForModel(client, 'Player.playState', State.paused);
    await clickPlayerPart(client, 'Player', '.track', 0.75);
    await waitFor(async () => Math.abs(await model(client,
      'Player.controls.currentPosition') - 6) < 0.5, () => 'the position bar to seek to 6 s');
    await clickPlayerPart(client, 'Player', '.mute');
    assert.equal(await model(client, 'Player.settings.mute'), true);
    await clickPlayerPart(client, 'Player', '.stop');
    await waitForModel(client, 'Player.playState', State.stopped);

    // The page changes the player's look and its source.
    const uiModes = [
      { mode: 'none', box: { width: 320, height: 240, controls: false, notice: '' } },
      { mode: 'invisible', box: { width: 0, height: 0, controls: false, notice: '' } },
      { mode: 'full', box: { width: 320, height: 240, controls: true, notice: '' } },
    ];
    for (const { mode, box } of uiModes) {
      await model(client, `Player.uiMode = '${mode}'`);
      assert.deepEqual(await drawnPlayer(client, 'Player'), box, mode);
    }
    await model(client, `Player.settings.mute = false`);
    // Its autoStart is false: a new source waits, ready, until autoStart is on.
    await model(client, `QuietPlayer.URL = '/media/tone.wav?again'`);
    await waitForModel(client, 'QuietPlayer.playState', State.ready);
    await model(client, `QuietPlayer.settings.autoStart = true`);
    await model(client, `QuietPlayer.URL = '/media/tone.wav?third'`);
    await waitForModel(client, 'QuietPlayer.playState', State.playing);
    await heard(sound, 'the source a script set');
  }));

test('WMA listening exercises through both objects and the embed play with their sound, ' +
  'converted by the client', { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'iemediawma', withSound: true }, async ({ server, client, sound }) => {
    await client.logIn(server.origin);

    // The newer object: the page's buttons call controls.play(), its PlayStateChange handler
    // opens the next question when the recording ends.
    await open(client, `${server.origin}/sof/ie/Media/Exercise`);
    // Converted, not started: its autoStart is false.
    await waitForModel(client, 'Player.playState', State.ready);
    await client.clickElement('#playButton');
    await waitForModel(client, 'Player.playState', State.playing);
    await heard(sound, 'the WMA exercise');
    const length = await model(client, 'Player.currentMedia.duration');
    assert.ok(Math.abs(length - 10.3) < 1, `the exercise's length: ${length}`);
    assert.equal(await client.page.textContent('#lengthText'), '00:10 (10 s)');
    assert.equal(await model(client, 'document.all.nextButton.disabled'), true);
    await model(client, 'Player.controls.currentPosition = Player.currentMedia.duration - 2');
    assert.ok(await model(client, 'Player.controls.currentPosition') > length - 3, 'seeked');
    await waitForModel(client, 'Player.playState', State.ended);
    assert.equal(await model(client, 'document.all.nextButton.disabled'), false);
    assert.equal(await client.page.textContent('#stateText'), '8');
    screenshot('iemedia-exercise');

    // The 6.4 object: Play(), Duration and the event in a <script for event> block.
    await open(client, `${server.origin}/sof/ie/Media/OldPlayer`);
    await client.clickElement('#playButton');
    await waitForModel(client, 'MediaPlayer1.PlayState', 2);
    await heard(sound, 'the 6.4 object');
    const oldLength = await model(client, 'MediaPlayer1.Duration');
    assert.ok(Math.abs(oldLength - 8.1) < 1, `the 6.4 exercise's length: ${oldLength}`);
    assert.equal(await client.page.textContent('#lengthText'), '8 秒');
    assert.match(await client.page.textContent('#stateText'), /-> 2$/);
    await client.clickElement('#stopButton');
    await waitForModel(client, 'MediaPlayer1.PlayState', 0);

    // The embed starts by itself.
    await open(client, `${server.origin}/sof/ie/Media/Embed`);
    await waitForModel(client, 'document.Sound.PlayState', 2);
    await heard(sound, 'the embed');
    assert.deepEqual(await drawnPlayer(client, 'Sound'),
      { width: 300, height: 45, controls: true, notice: '' });
  }));

test('broken, missing and WMV media give the error state and a notice in the box',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'iemediabroken' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const pages = [
      { path: '/sof/ie/Media/Broken', players: [
        // The first half of a WMA file.
        { id: 'BrokenPlayer', state: 'playState', value: State.ready, notice: CannotPlay },
        { id: 'MissingPlayer', state: 'playState', value: State.ready, notice: CannotPlay },
        // A format the engine plays, but no file.
        { id: 'MissingMp3Player', state: 'playState', value: State.ready, notice: CannotPlay },
        { id: 'MissingOldPlayer', state: 'PlayState', value: 0, notice: CannotPlay },
      ] },
      { path: '/sof/ie/Media/Wmv', players: [
        { id: 'VideoPlayer', state: 'playState', value: State.ready, notice: WmvNotice },
      ] },
    ];
    for (const { path, players } of pages) {
      await open(client, `${server.origin}${path}`);
      for (const { id, state, value, notice } of players) {
        await waitFor(async () => (await drawnPlayer(client, id)).notice,
          () => `${path}: ${id} to show its notice`);
        assert.equal((await drawnPlayer(client, id)).notice, notice, id);
        assert.equal(await model(client, `${id}.${state}`), value, id);
        const error = state === 'playState'
          ? `${id}.error.errorCount > 0 && ${id}.error.item(0).errorDescription`
          : `${id}.HasError && ${id}.ErrorDescription`;
        assert.equal(await model(client, error), notice, id);
        // Playing what cannot play changes nothing.
        await model(client, state === 'playState' ? `${id}.controls.play()` : `${id}.Play()`);
        assert.equal(await model(client, `${id}.${state}`), value, id);
      }
      screenshot(`iemedia-${path.split('/').pop().toLowerCase()}`);
    }
  }));

test('every way the old pages wrote a player becomes one, also when a script adds it later; ' +
  'other objects stay as they are', { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'iemediavariants' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    await open(client, `${server.origin}/sof/ie/Media/Variants`);
    const kinds = [
      { id: 'LowerClassId', kind: 'newer', size: [160, 60] },
      { id: 'BareClassId', kind: 'newer', size: [160, 60] },
      { id: 'OldLowerClassId', kind: '6.4', size: [160, 60] },
      { id: 'TypedEmbed', kind: '6.4', size: [160, 45] },
      { id: 'WmaEmbed', kind: '6.4', size: [160, 45] },
      { id: 'WmvEmbed', kind: '6.4', size: [160, 45], notice: WmvNotice },
      // One player for the object; the embed inside it is its fallback for other browsers.
      { id: 'WrappedPlayer', kind: 'newer', size: [160, 60] },
      { id: 'WrappedEmbed', kind: 'none' },
      { id: 'OtherObject', kind: 'none' },
      { id: 'OtherEmbed', kind: 'none' },
      // Added by the page's script after the load: as markup, and element by element with
      // its params a moment later.
      { id: 'LaterPlayer', kind: 'newer', size: [160, 60] },
      { id: 'BuiltPlayer', kind: '6.4', size: [160, 60] },
    ];
    await waitFor(() => model(client, `!!window.BuiltPlayer && BuiltPlayer.FileName !== ''`),
      () => 'the player the script built to have its file');
    for (const { id, kind, size, notice = '' } of kinds) {
      const found = await model(client, `typeof ${id}.controls === 'object' ? 'newer' :
        typeof ${id}.Play === 'function' ? '6.4' : 'none'`);
      assert.equal(found, kind, id);
      const drawn = await drawnPlayer(client, id);
      if (kind === 'none') {
        assert.equal(drawn, null, id);
        continue;
      }
      if (notice) await waitFor(async () => (await drawnPlayer(client, id)).notice, () => id);
      assert.deepEqual(await drawnPlayer(client, id),
        { width: size[0], height: size[1], controls: true, notice }, id);
    }
    // None of them starts by itself; each is ready to play its file.
    assert.equal(await model(client, 'LaterPlayer.URL'), '/media/tone.wav');
    await waitForModel(client, 'BuiltPlayer.PlayState', 0);
    await waitForModel(client, 'LowerClassId.playState', State.ready);
    screenshot('iemedia-variants');

    // A player that leaves the page stops; one put back is drawn again.
    await model(client, 'LowerClassId.controls.play()');
    await waitForModel(client, 'LowerClassId.playState', State.playing);
    await model(client, `(window.removed = LowerClassId).parentNode.removeChild(LowerClassId)`);
    await waitForModel(client, 'removed.playState', State.paused);
    assert.equal(await model(client, `document.querySelectorAll('ie-media-player').length`),
      kinds.filter(({ kind }) => kind !== 'none').length - 1);
    await model(client, `document.getElementById('laterCell').appendChild(removed)`);
    await waitFor(async () => (await drawnPlayer(client, 'LowerClassId')) !== null,
      () => 'the player put back to be drawn again');
  }));

test('other sites\' pages keep their media-player elements as the engine leaves them; ' +
  'the platform\'s pages without players get nothing', { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'iemediaother' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const other = `http://localhost:${new URL(server.origin).port}`;
    const cases = [
      { address: `${other}/sof/ie/Media/Wav`, ids: ['Player', 'QuietPlayer', 'PlainPlayer'] },
      { address: `${other}/sof/ie/Media/Embed`, ids: ['Sound'] },
      { address: `${server.origin}/sof/Lesson/Unit1`, ids: [] },
    ];
    for (const { address, ids } of cases) {
      await open(client, address);
      await sleep(1000);
      const seen = await client.page.evaluate((elementIds) => ({
        players: document.querySelectorAll('ie-media-player').length,
        sheets: document.adoptedStyleSheets.length,
        models: elementIds.filter((id) => {
          const element = document.getElementById(id);
          return 'controls' in element || 'Play' in element || 'playState' in element;
        }),
        hidden: elementIds.filter((id) =>
          getComputedStyle(document.getElementById(id)).display === 'none'),
      }), ids);
      assert.deepEqual(seen, { players: 0, sheets: 0, models: [], hidden: [] }, address);
    }
  }));
