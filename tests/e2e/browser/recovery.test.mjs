// After the browser's page process has died and the client has recovered, every page keeps the
// client's scripts: the main page and the windows pages open afterwards, however many times it
// happens.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { test } from 'node:test';
import { ScenarioTimeout, askWindowToClose, scenario, sleep, waitFor } from './harness.mjs';

const FlashWindow = '^Flash 听力';
const PlayerLoaded = /^flash content: .*, player loaded$/;
// The client reloads the page after an end that comes this long after the one before.
const ReloadAgainAfterMs = 30000;

function readProc(pid, file) {
  try {
    return fs.readFileSync(`/proc/${pid}/${file}`, 'utf8');
  } catch {
    return '';
  }
}

// Every page process of the browser below the client. They are forked from the browser's zygote
// and keep its command line: the zygote's children, and any process that says it is one.
function pageProcessesBelow(root) {
  const parents = new Map();
  for (const name of fs.readdirSync('/proc').filter((n) => /^\d+$/.test(n))) {
    const stat = readProc(name, 'stat');
    const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.length > 1) parents.set(Number(name), Number(fields[1]));
  }
  const below = (pid) => {
    for (let up = parents.get(pid); up > 1; up = parents.get(up) ?? 0)
      if (up === root) return true;
    return false;
  };
  return [...parents.keys()].filter((pid) => {
    if (!below(pid)) return false;
    const command = readProc(pid, 'cmdline');
    return command.includes('--type=renderer') || (command.includes('--type=zygote') &&
      readProc(parents.get(pid), 'cmdline').includes('--type=zygote'));
  });
}

function killPageProcesses(client) {
  const pages = pageProcessesBelow(client.process.pid);
  for (const pid of pages) {
    try {
      process.kill(pid, 'SIGKILL');
    } catch {
      // gone already
    }
  }
  return pages.length > 0;
}

// The main page's and a new window's Flash content get the player: the client's scripts run in
// both.
async function checkScripts(client, origin) {
  const address = `${origin}/sof/Windows/Open`;
  // The page shown after a recovery is the windows' page: going there again would be a
  // reload, which the client refuses (Qt 6.8 reports it as one), so the Flash page comes first.
  let since = client.mark();
  await client.goTo(`${origin}/sof/Flash/Embed`);
  await client.waitForPage(`${origin}/sof/Flash/Embed`, { since });
  await client.waitForLog(PlayerLoaded, { since });
  // Pages hold the scripts beside the profile after a recovery: each still runs once.
  assert.equal(client.matching(`document complete: ${origin}/sof/Flash/Embed`, since).length, 1);
  since = client.mark();
  await client.goTo(address);
  await client.waitForPage(address, { since });

  since = client.mark();
  await client.clickElement('#flashWindow');
  await client.waitForLog('new window opened', { since });
  const [window] = await client.waitForVisibleWindow(FlashWindow);
  await client.waitForLog(PlayerLoaded, { since });
  const page = await waitFor(() => client.browser.contexts().flatMap((c) => c.pages())
    .find((p) => p.url() === `${origin}/sof/Flash/Embed`), () => 'the window\'s page');
  // The client's document script turns text selection off there.
  assert.equal(await page.evaluate(() => getComputedStyle(document.body).userSelect), 'none');
  askWindowToClose(window);
  await waitFor(() => client.visibleWindows(FlashWindow).length === 0,
    () => 'the window to close');
}

// The debugging connection's page died with its process: a new connection sees the new one.
async function reconnect(client) {
  await client.browser.close().catch(() => {});
  await client.connect();
}

test('pages and new windows keep the client\'s scripts after each recovery',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'recovery' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    await checkScripts(client, server.origin);
    const shown = `${server.origin}/sof/Windows/Open`;

    // The first end: the client shows the page again. Another end within 30 seconds of it
    // shows the local error page, whose 重试 goes back to the page that was shown; the pages
    // from there on keep the scripts too.
    let since = client.mark();
    assert.ok(killPageProcesses(client));
    await client.waitForPageDocument(shown, { since });
    await reconnect(client);
    since = client.mark();
    assert.ok(killPageProcesses(client));
    await client.waitForLog(/^page document: file:.*\/errorpage\.htm;/, { since });
    await reconnect(client);
    await waitFor(() => client.page.url().endsWith('/errorpage.htm'),
      () => `the local error page (the browser is at ${client.page.url()})`);
    since = client.mark();
    await client.clickElement('#retry');
    await client.waitForPage(shown, { since });
    await checkScripts(client, server.origin);

    // A later end shows the page again, in the next page process.
    await sleep(ReloadAgainAfterMs);
    since = client.mark();
    assert.ok(killPageProcesses(client));
    await client.waitForPageDocument(shown, { since });
    await reconnect(client);
    await checkScripts(client, server.origin);
  }));
