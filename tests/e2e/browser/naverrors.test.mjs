// Failed navigations: the client tries the failed address twice more, then shows its local
// error page.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { test } from 'node:test';
import { Buttons, ScenarioTimeout, scenario, screenshot, waitFor } from './harness.mjs';

const NavigationError = /^navigation error -?\d+ at /;

function parseNavigationError(line) {
  const match = /^navigation error (-?\d+) at (.*): action (\d+), count (\d+)$/.exec(line);
  assert.ok(match, line);
  return { url: match[2], action: Number(match[3]), count: Number(match[4]) };
}

test('with the site gone, two retries and then the local error page',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'naverrors' }, async ({ server, client }) => {
    const target = `${server.origin}/sof/Lesson/Index`;
    const errorPage = path.join(client.dir, 'errorpage.htm');
    await client.logIn(server.origin);

    await server.stop();
    const since = client.mark();
    await client.clickElement('a[href="/sof/Lesson/Index"]');

    const errors = await client.waitForLog(NavigationError, { since, count: 3 });
    // Retry (1) twice, then the error page (2), and the count starts again.
    assert.deepEqual(errors.map(parseNavigationError), [
      { url: target, action: 1, count: 1 },
      { url: target, action: 1, count: 2 },
      { url: target, action: 2, count: 0 },
    ]);
    const navigations = await client.waitForLog(/^navigate: /, { since, count: 3 });
    assert.deepEqual(navigations,
      [`navigate: ${target}`, `navigate: ${target}`, `navigate: ${errorPage}`]);

    const errorPageUrl = pathToFileURL(errorPage).href;
    await client.waitForPageLoaded(errorPageUrl, { since });
    await waitFor(() => client.page.url() === errorPageUrl,
      () => `the browser at ${errorPageUrl} (it is at ${client.page.url()})`);
    assert.equal(await client.page.locator('#retry').count(), 1);
    // Exactly three failures: the error page itself loaded.
    assert.equal(client.matching(NavigationError, since).length, 3);
    screenshot('naverrors-error-page');

    // Logging out while the site is still gone: the count had started again at 0.
    const logOutSince = client.mark();
    client.clickButton(Buttons.logOut);
    const [logOut] = await client.waitForLog(/^navigate: .*\/Home\/Logout\?\d+$/,
      { since: logOutSince });
    const logOutAddress = logOut.slice('navigate: '.length);
    const again = await client.waitForLog(NavigationError, { since: logOutSince, count: 3 });
    assert.deepEqual(again.map(parseNavigationError), [
      { url: logOutAddress, action: 1, count: 1 },
      { url: logOutAddress, action: 1, count: 2 },
      { url: logOutAddress, action: 2, count: 0 },
    ]);
    await client.waitForPageLoaded(errorPageUrl, { since: logOutSince });
  }));

test('a missing local error page gives the built-in message instead of a loop',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'naverrors-nopage' }, async ({ server, client }) => {
    const target = `${server.origin}/sof/Lesson/Index`;
    const errorPage = path.join(client.dir, 'errorpage.htm');
    await client.logIn(server.origin);
    fs.rmSync(errorPage);

    await server.stop();
    const since = client.mark();
    await client.clickElement('a[href="/sof/Lesson/Index"]');

    // Two retries, the error page, and its own failure answered with the built-in text.
    const errors = await client.waitForLog(NavigationError, { since, count: 4 });
    assert.deepEqual(errors.map(parseNavigationError).map((e) => e.action), [1, 1, 2, 3]);
    assert.equal(parseNavigationError(errors[3]).url, pathToFileURL(errorPage).href);
    const navigations = await client.waitForLog(/^navigate: /, { since, count: 4 });
    assert.match(navigations[3], /^navigate: data:text\/html/);
    await waitFor(() => client.page.url().startsWith('data:text/html'),
      () => `the browser on the built-in message (it is at ${client.page.url()})`);
    await waitFor(async () => (await client.page.locator('h2').textContent()) === '暂时无法连接到学习平台',
      () => 'the built-in message on the page');
    screenshot('naverrors-built-in-message');
  }));
