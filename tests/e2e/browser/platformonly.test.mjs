// What only the platform's own documents may do: name the return address and its question, have
// their hidden link taken over, send commands. Another site the student reaches, as the top page
// or as a frame inside a platform page, does none of it; the skin and button rules stay for all.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { ScenarioTimeout, scenario, waitFor } from './harness.mjs';

// The same demo server under its other loopback name: another origin to the browser.
function otherSite(origin) {
  return `http://localhost:${new URL(origin).port}`;
}

test('another site as the top page sets no return address and has no hidden link taken over',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'othertop' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const own = await client.followLink('/sof/Return/Main');
    assert.equal(own.returnURL, `${server.origin}/Home/Home/Main`);
    assert.equal(own.returnButton, true);

    const other = otherSite(server.origin);
    const cases = [
      { address: `${other}/sof/Return/Set?url=${encodeURIComponent(`${other}/sof/Lesson/Index`)}` +
          '&tip=go', hiddenLink: false },
      { address: `${other}/sof/Return/Main`, hiddenLink: false },
      { address: `${other}/sof/Lesson/Unit2`, hiddenLink: true },
    ];
    for (const { address, hiddenLink } of cases) {
      const since = client.mark();
      await client.goTo(address);
      const document = await client.waitForPage(address, { since });
      // The page holds what the platform's rules look for; the client takes none of it.
      assert.equal(await client.page.evaluate(() => !!document.getElementById('hiddenLink')),
        hiddenLink, address);
      assert.equal(document.returnURL, '', address);
      assert.equal(document.returnButton, false, address);
      assert.equal(document.hiddenLink, false, address);
      assert.deepEqual(client.matching('click handler of ', since), [], address);
    }

    // Back on the platform, its pages' rules apply again.
    const since = client.mark();
    await client.goTo(`${server.origin}/sof/Lesson/Unit2`);
    const unit2 = await client.waitForPage(`${server.origin}/sof/Lesson/Unit2`, { since });
    assert.equal(unit2.hiddenLink, true);
    await client.waitForLog('click handler of hiddenLink: token ', { since });
  }));

// The client's answer to one command sent from the page: its command line, or its refusal.
async function commandAnswer(client, send) {
  const since = client.mark();
  await send();
  const [answer] = await client.waitForLog(/^page command(: | refused: )/, { since });
  return answer;
}

test('a frame of another site sends no commands; the platform\'s page does',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'otherframe' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const address = `${server.origin}/sof/Frames/Other`;
    const openPage = async () => {
      const since = client.mark();
      await client.goTo(address);
      await client.waitForPage(address, { since });
      await client.waitForLog('client script added to the top document', { since });
    };
    const ownCommand = () => commandAnswer(client, () => client.clickElement('#ownCommand'));
    await openPage();

    // The frame navigating itself, and the top page after the student's click in the frame.
    const frame = await waitFor(() => client.page.frames()
      .find((f) => f.url() === `${otherSite(server.origin)}/sof/Frames/Sender`),
    () => 'the other site\'s frame');
    for (const button of ['#selfCommand', '#topCommand']) {
      const answer = await commandAnswer(client,
        () => frame.click(button, { noWaitAfter: true }));
      assert.equal(answer, `page command refused: ${button === '#selfCommand' ? 'a frame' :
        'top page'} from ${address}`, button);
    }
    assert.equal(client.page.url(), address);
    // Once the student has used that frame, the browser lets it navigate the top page: the
    // page's own commands wait for its next document, where they count again.
    assert.equal(await ownCommand(), `page command refused: top page from ${address}`);
    // Going to the page shown would be a reload, which the client refuses (Qt 6.8 reports it
    // as one): the next document comes after another page.
    const elsewhere = `${server.origin}/sof/Lesson/Unit1`;
    const since = client.mark();
    await client.goTo(elsewhere);
    await client.waitForPage(elsewhere, { since });
    await openPage();
    assert.equal(await ownCommand(), 'page command: enablebackbtn, false');
  }));

test('a frame of the platform\'s own origin sends commands, itself or through the page',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'ownframe' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const address = `${server.origin}/sof/Frames/Own`;
    const since = client.mark();
    await client.goTo(address);
    await client.waitForPage(address, { since });
    await client.waitForLog('client script added to the top document', { since });
    const frame = await waitFor(() => client.page.frames()
      .find((f) => f.url() === `${server.origin}/sof/Frames/Sender`), () => 'the page\'s frame');
    // Pressed by the frame's script: the debugging connection would wait for the top page's
    // navigations, which never end.
    for (const button of ['#selfCommand', '#parentFunction', '#topCommand'])
      assert.equal(await commandAnswer(client, () => frame.evaluate((selector) => {
        setTimeout(() => document.querySelector(selector).click(), 0);
      }, button)), 'page command: enablebackbtn, false', button);
    assert.equal(client.page.url(), address);
  }));

test('a frame that keeps loading leaves the hidden link with one token',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'reloadingframe' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const address = `${server.origin}/sof/Frames/Reloading`;
    const since = client.mark();
    await client.goTo(address);
    await client.waitForPage(address, { since });
    // The page is handled again after each of the frame's loads, the last one included.
    await client.waitForLog(`page document: ${server.origin}/sof/Frames/Tick?left=0;`,
      { since });
    const handled = client.matching('page document: ', since);
    assert.ok(handled.length >= 8, handled.join('\n'));
    const tokens = await client.waitForLog('click handler of hiddenLink: token ',
      { since, count: handled.length });
    assert.equal(new Set(tokens).size, 1, tokens.join('\n'));
  }));
