// What real platform sites do: addresses with escapes, forms answered with a redirect back to
// their own page, persistent cookies set just before the student closes the client, and
// listening material that plays by itself.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import {
  Buttons, MessageBox, MessageBoxButtons, ScenarioTimeout, clickInCentredWindow, scenario,
  screenshot, waitFor,
} from './harness.mjs';

test('a page whose address holds escapes gets the command script and its commands',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'escaped' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const address = `${server.origin}/sof/lesson%20two?unit=%E4%B8%AD`;
    let since = client.mark();
    await client.clickElement('a[href="/sof/lesson%20two?unit=%E4%B8%AD"]');
    await client.waitForPage(address, { since });
    await client.waitForLog('client script added to the top document', { since });
    assert.equal(await client.page.textContent('#unit'), '中');
    assert.equal(await client.page.evaluate(() => typeof SendClientCommand), 'function');

    // The parameters arrive as the page wrote them into the address.
    since = client.mark();
    await client.clickElement('#sendEscaped');
    await client.waitForLog('page command: say, a%20b', { since });
    assert.equal(client.page.url(), address);
  }));

test('a form answered with a redirect to its own page loads; a script reload does not',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'prg' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const address = `${server.origin}/sof/Forms/Note`;
    await client.followLink('/sof/Forms/Note');
    const requestsBefore = server.mark();
    const since = client.mark();
    await client.page.fill('#note', 'unit two words');
    await client.clickElement('#save');
    await client.waitForPage(address, { since });
    assert.deepEqual(server.requestsSince(requestsBefore),
      ['POST /sof/Forms/Note', 'GET /sof/Forms/Note']);
    assert.equal(await client.page.textContent('#savedNote'), 'unit two words');
    assert.deepEqual(client.matching('reload refused', since), []);

    // The same page asking to be loaded again is still refused.
    const afterForm = client.mark();
    const requestsAfterForm = server.mark();
    await client.page.evaluate(() => window.location.reload());
    await client.waitForLog('reload refused', { since: afterForm });
    assert.deepEqual(server.requestsSince(requestsAfterForm), []);
  }));

test('a persistent cookie set just before closing is sent after the next start',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'keepcookie' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const since = client.mark();
    await client.goTo('/sof/Cookies/Remember?value=kept-at-close');
    await client.waitForPageDocument(`${server.origin}/sof/Cookies/Remember?value=kept-at-close`,
      { since });
    const setAt = Date.now();

    const closing = client.mark();
    client.clickButton(Buttons.close);
    await client.waitForMessageBox('确认关闭吗？', closing);
    clickInCentredWindow(MessageBox, MessageBoxButtons.ok);
    await client.waitForExit();
    assert.ok(Date.now() - setAt < 15000, 'the client closed soon after the cookie was set');

    const restarted = client.mark();
    await client.restart();
    await client.waitForPage(`${server.origin}/Home/Home/Index`, { since: restarted });
    const again = client.mark();
    await client.goTo(`${server.origin}/sof/Cookies/Remember`);
    await client.waitForPage(`${server.origin}/sof/Cookies/Remember`, { since: again });
    assert.equal(await client.page.textContent('#remembered'), 'kept-at-close');
  }));

// The listening page is the start page here: nobody has touched the site, as when a student
// opens a lesson that starts with its recording.
test('listening material that starts by itself plays without a click',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'autoplay', withSound: true, hostPath: 'sof/Listening/Autoplay' },
    async ({ server, client, sound }) => {
    await client.waitForPage(`${server.origin}/sof/Listening/Autoplay/`);
    await waitFor(async () => (await client.page.textContent('#playState')) !== 'waiting',
      () => 'the page to report its playback');
    assert.equal(await client.page.textContent('#playState'), 'playing');
    const peak = await sound.loudspeakerPeak(1500);
    screenshot('autoplay-playing');
    assert.ok(peak > 0.05, `the loudspeaker heard the tone (peak ${peak.toFixed(4)})`);
  }));
