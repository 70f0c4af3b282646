// The hand-over socket: other programs hide and show the client's window through it.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import {
  Messages, ScenarioTimeout, mapState, scenario, screenshot, waitFor,
} from './harness.mjs';

function hex(message) {
  return `0x${message.toString(16).toUpperCase()}`;
}

test('message 0x510 hides the window and 0x502 shows it again',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'messages' }, async ({ server, client }) => {
    await client.waitForPage(`${server.origin}/Home/Home/Index`);
    const window = client.mainWindowId();
    const isShown = () => client.visibleWindows(client.title).length === 1 &&
      mapState(window) === 'IsViewable';
    const isHidden = () => client.visibleWindows(client.title).length === 0 &&
      mapState(window) === 'IsUnMapped';
    assert.ok(isShown());
    const pageNumber = await client.pageNumber();

    let since = client.mark();
    assert.equal(await client.sendMessage(Messages.hideMainWindow), 0);
    await client.waitForLog(`private message ${hex(Messages.hideMainWindow)} received`, { since });
    await waitFor(isHidden, () => 'the main window to be hidden');
    screenshot('messages-hidden');

    since = client.mark();
    assert.equal(await client.sendMessage(Messages.showMainWindow), 0);
    await client.waitForLog(`private message ${hex(Messages.showMainWindow)} received`, { since });
    await waitFor(isShown, () => 'the main window to be shown');
    screenshot('messages-shown');

    // Several messages on one connection, each answered in turn.
    since = client.mark();
    assert.deepEqual(await client.sendMessages([Messages.hideMainWindow,
      Messages.showMainWindow, Messages.hideMainWindow]), [0, 0, 0]);
    assert.deepEqual(client.matching(/^private message /, since), [
      `private message ${hex(Messages.hideMainWindow)} received`,
      `private message ${hex(Messages.showMainWindow)} received`,
      `private message ${hex(Messages.hideMainWindow)} received`,
    ]);
    await waitFor(isHidden, () => 'the main window to be hidden again');
    assert.equal(await client.sendMessage(Messages.showMainWindow), 0);
    await waitFor(isShown, () => 'the main window to be shown again');

    // Hiding and showing leave the page alone.
    assert.equal(await client.pageNumber(), pageNumber);
    assert.match(client.page.url(), /\/Home\/Home\/Index$/);
  }));
