// Pages with frames: the completion of a date-picker frame or of an empty frame disables the
// sound test until a later page enables it again.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import {
  Buttons, ScenarioTimeout, parsePageDocument, scenario, screenshot,
} from './harness.mjs';

test('a date-picker frame disables the sound test until the next ordinary page',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'frames' }, async ({ server, client }) => {
    const datePicker = `${server.origin}/My97DatePicker/My97DatePicker.htm`;
    await client.logIn(server.origin);

    let since = client.mark();
    const top = await client.followLink('/sof/Frames/DatePicker');
    const documents = client.matching(/^page document: /, since).map(parsePageDocument);
    const frame = documents.find((document) => document.url === datePicker);
    const blank = documents.find((document) => document.url === 'about:blank');
    assert.ok(frame, documents.map((document) => document.url).join('\n'));
    assert.equal(frame.soundTest, false);
    assert.ok(blank, documents.map((document) => document.url).join('\n'));
    assert.equal(blank.soundTest, false);
    // The page itself completes after its frames.
    assert.equal(top.soundTest, true);
    assert.equal(documents[documents.length - 1].url, `${server.origin}/sof/Frames/DatePicker`);

    // A date picker opened later completes last: the sound test stays disabled.
    since = client.mark();
    await client.clickElement('#openDatePicker');
    const opened = await client.waitForPageDocument(datePicker, { since });
    assert.equal(opened.soundTest, false);
    screenshot('frames-sound-test-disabled');

    // A click on the disabled sound test does nothing; the log-out click after it is handled
    // after it.
    since = client.mark();
    client.clickButton(Buttons.soundTest);
    client.clickButton(Buttons.logOut);
    const [navigate] = await client.waitForLog(/^navigate: .*\/Home\/Logout\?\d+$/, { since });
    assert.deepEqual(client.matching('sound-test button pressed', since), []);

    // The next ordinary page enables it again.
    const logoutPage = await client.waitForPage(navigate.slice('navigate: '.length), { since });
    assert.equal(logoutPage.soundTest, true);
    since = client.mark();
    client.clickButton(Buttons.soundTest);
    await client.waitForLog('sound-test button pressed', { since });
  }));
