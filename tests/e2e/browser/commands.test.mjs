// Page commands: a lesson page locks and unlocks the return button through the script the
// client adds to it, and stays where it is.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Buttons, ScenarioTimeout, scenario, screenshot } from './harness.mjs';

const ReturnTip = '确定要返回主页吗？';

// Clicks a button of the page that sends a command; expected is the command line the client
// logs, as a regular expression.
async function sendCommand(client, button, expected) {
  const since = client.mark();
  await client.clickElement(button);
  await client.waitForLog(expected, { since });
}

test('enableBackBtn commands lock and unlock the return button, and the page stays',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'commands' }, async ({ server, client }) => {
    const { page } = client;
    await client.logIn(server.origin);
    // The course list names the return address; the unit keeps it.
    await client.followLink('/sof/Lesson/Index');
    let since = client.mark();
    const unit = await client.followLink('/sof/Lesson/Unit1');
    assert.equal(unit.returnButton, true);
    await client.waitForLog('client script added to the top document', { since });
    assert.equal(await page.evaluate(() => typeof SendClientCommand), 'function');

    const unitAddress = page.url();
    const pageNumber = await client.pageNumber();
    const requestsBefore = server.mark();
    const logBefore = client.mark();

    assert.equal(await client.returnButtonAnswers(ReturnTip), true);

    await sendCommand(client, '#disableBack', /^page command: enablebackbtn, false$/);
    assert.equal(await client.returnButtonAnswers(ReturnTip), false);
    screenshot('commands-locked');

    await sendCommand(client, '#enableBack', /^page command: enablebackbtn, true$/);
    assert.equal(await client.returnButtonAnswers(ReturnTip), true);

    // The client hears commands in lower case, whatever the page wrote.
    await sendCommand(client, '#disableBackCaps', /^page command: enablebackbtn, false$/);
    assert.equal(await client.returnButtonAnswers(ReturnTip), false);

    // Anything but "false" unlocks, the empty value too.
    await sendCommand(client, '#enableBackEmpty', /^page command: enablebackbtn, $/);
    assert.equal(await client.returnButtonAnswers(ReturnTip), true);

    // Commands other than enableBackBtn change nothing.
    await sendCommand(client, '#disableBack', /^page command: enablebackbtn, false$/);
    await sendCommand(client, '#otherCommand', /^page command: showscore, 90$/);
    assert.equal(await client.returnButtonAnswers(ReturnTip), false);

    // The page never left: same address, same response, no request to the site.
    assert.equal(page.url(), unitAddress);
    assert.equal(await client.pageNumber(), pageNumber);
    assert.equal(await page.textContent('#commandResult'), '已发送 Sent: showScore,90');
    assert.deepEqual(server.requestsSince(requestsBefore), []);
    assert.deepEqual(client.matching('navigate:', logBefore), []);

    // Logging out unlocks the return button again; the return cookies still show it.
    since = client.mark();
    client.clickButton(Buttons.logOut);
    const [navigate] = await client.waitForLog(/^navigate: .*\/Home\/Logout\?\d+$/, { since });
    const logoutPage = await client.waitForPage(navigate.slice('navigate: '.length), { since });
    assert.equal(logoutPage.returnButton, true);
    assert.equal(await client.returnButtonAnswers(ReturnTip), true);
  }));
