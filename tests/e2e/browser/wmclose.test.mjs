// A close asked for by the window manager (WM_DELETE_WINDOW, as a taskbar's close command or
// the system close key sends it) asks "确认关闭吗？" first: Cancel keeps the client, OK ends it.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import {
  MessageBox, MessageBoxButtons, ScenarioTimeout, askWindowToClose, clickInCentredWindow,
  mapState, scenario, screenshot, waitFor,
} from './harness.mjs';

const CloseQuestion = '确认关闭吗？';

test('the window manager\'s close asks first: Cancel keeps the client, OK ends it',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'wmclose' }, async ({ server, client }) => {
    await client.waitForPage(`${server.origin}/Home/Home/Index`);
    const window = client.mainWindowId();
    const pageNumber = await client.pageNumber();

    let since = client.mark();
    askWindowToClose(window);
    await client.waitForMessageBox(CloseQuestion, since);
    screenshot('wmclose-question');
    clickInCentredWindow(MessageBox, MessageBoxButtons.cancel);
    await client.waitForLog('close question answered 2', { since });
    assert.deepEqual(client.matching(/^shutdown: /, since), []);
    assert.equal(client.runningCount(), 1);
    assert.equal(mapState(window), 'IsViewable');
    assert.equal(await client.pageNumber(), pageNumber);

    since = client.mark();
    const exited = new Promise((resolve) => client.process.once('exit', resolve));
    askWindowToClose(window);
    await client.waitForMessageBox(CloseQuestion, since);
    clickInCentredWindow(MessageBox, MessageBoxButtons.ok);
    await client.waitForLog('close question answered 1', { since });
    // The client ends itself with the other processes of its name, once its log is closed.
    await exited;
    assert.match(client.log().slice(since), /shutdown: closing the log[^]* End-Time: /);
    await waitFor(() => client.runningCount() === 0, () => `the end of ${client.exeName}`);
  }));
