// The start page and logging in and out.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Buttons, ScenarioTimeout, scenario, screenshot } from './harness.mjs';

test('the start page is the platform\'s log-in page in the outer skin',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'startpage' }, async ({ server, client }) => {
    const host = `${server.baseUrl}Home/`;
    const index = `${server.origin}/Home/Home/Index`;
    const loaded = await client.waitForPageLoaded(index);
    const document = await client.waitForPage(index);

    // The client sends the browser to the host value as it stands; the site leads on to its
    // log-in page.
    assert.deepEqual(client.matching('navigate:'), [`navigate: ${host}`]);
    const requests = server.requests();
    assert.equal(requests[0], 'GET /Home/');
    assert.ok(requests.indexOf('GET /Home/Home/Index') > 0, requests.join('\n'));
    assert.match(client.page.url(), /\/Home\/Home\/Index$/);
    assert.equal(await client.page.locator('form #username').count(), 1);

    assert.deepEqual(client.matching(/^skin: /), ['skin: outer']);
    assert.equal(loaded.innerSkin, false);
    assert.equal(loaded.logOut, false);
    assert.equal(document.returnButton, false);
    assert.equal(document.soundTest, true);
    assert.equal(client.visibleWindows(client.title).length, 1);
    screenshot('startpage');

    // The log-out button is disabled: a click on it does nothing. The click on the sound test
    // that follows is handled after it, so once that one is in the log the first was too.
    const since = client.mark();
    const requestsBefore = server.mark();
    client.clickButton(Buttons.logOut);
    client.clickButton(Buttons.soundTest);
    await client.waitForLog('sound-test button pressed', { since });
    assert.deepEqual(client.matching('navigate:', since), []);
    assert.deepEqual(server.requestsSince(requestsBefore), []);
  }));

test('logging in enables the log-out button, which leads to the log-out page with a number',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'logout' }, async ({ server, client }) => {
    const main = await client.logIn(server.origin);
    assert.equal(main.returnButton, false);
    const loaded = await client.waitForPageLoaded(`${server.origin}/Home/Home/Main`);
    assert.equal(loaded.logOut, true);
    assert.equal(loaded.innerSkin, false);
    assert.ok(server.requests().includes('POST /Home/Home/Index'));

    const since = client.mark();
    const requestsBefore = server.mark();
    client.clickButton(Buttons.logOut);
    const [navigate] = await client.waitForLog(/^navigate: /, { since });
    const sent = /^navigate: (.*\/Home\/Logout\?)(\d+)$/.exec(navigate);
    assert.ok(sent, navigate);
    assert.equal(sent[1], `${server.baseUrl}Home/Home/Logout?`);
    const number = sent[2];
    assert.match(number, /^(0|[1-9]\d*)$/, 'a number without leading zeros');
    assert.ok(Number(number) >= 0 && Number(number) <= 9998, number);

    const request = await server.waitForRequest(/\/Home\/Logout\?/, { since: requestsBefore });
    assert.equal(request, `GET /Home/Home/Logout?${number}`);
    const logoutPage = `${server.origin}/Home/Home/Logout?${number}`;
    const afterLogout = await client.waitForPageLoaded(logoutPage, { since });
    await client.waitForPage(logoutPage, { since });
    // The log-out page is none of the pages that change the log-out button.
    assert.equal(afterLogout.logOut, true);
    assert.equal(await client.page.locator('a[href="/Home/Home/Index"]').count(), 1);
    // The site has logged the student out.
    const cookies = await client.cookies(server.baseUrl);
    assert.equal(cookies.find((cookie) => cookie.name === 'username'), undefined);
    screenshot('logout');
  }));
