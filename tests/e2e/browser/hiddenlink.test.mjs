// The hidden recording link of a speaking lesson: the client takes its click over. Without a
// sound device it tells the user and cancels the click.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Buttons, ScenarioTimeout, pressKey, scenario, screenshot } from './harness.mjs';

// A sound server address that leads nowhere: the client finds no sound output device, whatever
// the machine running the test has.
const NoSoundDevice = { PULSE_SERVER: 'unix:/nonexistent/pulse/native' };
const DeviceMessageTitle = '^温馨提示$';

// Clicks the page's hidden link as a person would, answers the device message with Enter and
// waits for the client's answer to the page.
async function clickHiddenLinkWithoutDevice(client, name) {
  const since = client.mark();
  await client.clickElement('#hiddenLink');
  await client.waitForLog(/^sound output devices: 0$/, { since });
  await client.waitForVisibleWindow(DeviceMessageTitle);
  screenshot(name);
  pressKey('Return');
  const [answer] = await client.waitForLog(/^hidden link: /, { since });
  return answer;
}

test('without a sound device the hidden link tells the user and goes nowhere',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'hiddenlink', clientEnv: NoSoundDevice },
    async ({ server, client }) => {
      await client.logIn(server.origin);
      await client.followLink('/sof/Lesson/Index');
      const unit2 = await client.followLink('/sof/Lesson/Unit2');
      assert.equal(unit2.hiddenLink, true);

      let requestsBefore = server.mark();
      assert.equal(await clickHiddenLinkWithoutDevice(client, 'hiddenlink-no-device'),
        'hidden link: step 0, answer 0');
      assert.deepEqual(client.visibleWindows(DeviceMessageTitle), []);
      // The next click leads on; the cancelled one asked the site for nothing before it.
      const unit3 = await client.followLink('/sof/Lesson/Unit3');
      assert.equal(unit3.hiddenLink, true);
      assert.deepEqual(server.requestsSince(requestsBefore), ['GET /sof/Lesson/Unit3']);

      // The unit's link has a click handler of its own; the client's replaces it.
      requestsBefore = server.mark();
      assert.equal(await clickHiddenLinkWithoutDevice(client, 'hiddenlink-own-handler'),
        'hidden link: step 0, answer 0');
      assert.equal(await client.page.textContent('#pageHandler'), '');
      await client.followLink('/sof/Lesson/Index');
      assert.deepEqual(server.requestsSince(requestsBefore), ['GET /sof/Lesson/Index']);
    }));

// A page command and a refused reload are navigations that never leave the page: the link
// stays taken over for as long as its document lives.
test('the hidden link stays taken over after page commands and a refused reload',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'hiddenkept', clientEnv: NoSoundDevice },
    async ({ server, client }) => {
      await client.logIn(server.origin);
      await client.followLink('/sof/Lesson/Index');
      assert.equal((await client.followLink('/sof/Lesson/Unit2')).hiddenLink, true);
      const requestsBefore = server.mark();

      let since = client.mark();
      await client.page.evaluate(() => SendClientCommand('enableBackBtn', 'true'));
      await client.waitForLog('page command: enablebackbtn, true', { since });
      assert.equal(await clickHiddenLinkWithoutDevice(client, 'hiddenkept-command'),
        'hidden link: step 0, answer 0');

      since = client.mark();
      await client.page.evaluate(() => window.location.reload());
      await client.waitForLog('reload refused', { since });
      assert.equal(await clickHiddenLinkWithoutDevice(client, 'hiddenkept-reload'),
        'hidden link: step 0, answer 0');
      assert.deepEqual(server.requestsSince(requestsBefore), []);
    }));

// While the microphone check is open the page cannot start a second one on the same
// recording file: its link's click is cancelled.
test('a hidden-link click while the microphone check is open is cancelled',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'hiddenbusy' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    await client.followLink('/sof/Lesson/Index');
    assert.equal((await client.followLink('/sof/Lesson/Unit2')).hiddenLink, true);
    const requestsBefore = server.mark();
    const since = client.mark();
    await client.page.evaluate(() => {
      window.checkClick = new Promise((resolve) => {
        setTimeout(() => resolve(document.getElementById('hiddenLink').click()), 1500);
      });
    });
    client.clickButton(Buttons.soundTest);
    await client.waitForLog('recording check: start page', { since });
    assert.deepEqual(await client.waitForLog(/^hidden link: /, { since }),
      ['hidden link: a check is open, answer 0']);
    screenshot('hiddenbusy-check-open');
    await client.closeRecordingCheck(since);
    assert.equal(client.matching(/^hidden link: step/, since).length, 0);
    assert.deepEqual(server.requestsSince(requestsBefore), []);
  }));
