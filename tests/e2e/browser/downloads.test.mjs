// Downloads that take their time: closing the notice of a running download cancels it (after
// asking), so no download runs unseen and the limit of eight counts the downloads running; a
// download that would fill the disk stops as failed.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import {
  MessageBox, MessageBoxButtons, ScenarioTimeout, askWindowToClose, clickInCentredWindow,
  scenario, screenshot, waitFor,
} from './harness.mjs';

const CancelQuestion = '下载尚未完成，关闭后将取消下载。确定关闭吗？';
const Notice = '^下载$';
const MaxDownloads = 8;

async function openDownloads(client, server) {
  await client.logIn(server.origin);
  const address = `${server.origin}/sof/Downloads`;
  const since = client.mark();
  await client.goTo(address);
  await client.waitForPage(address, { since });
}

// Asks one notice to close and answers the client's question; returns the question's mark.
async function closeNotice(client, notice, button) {
  const since = client.mark();
  askWindowToClose(notice);
  await client.waitForMessageBox(CancelQuestion, since);
  clickInCentredWindow(MessageBox, button);
  return since;
}

test('closing a running download\'s notice asks, and cancels the download; the limit counts running downloads',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'downloadcancel' }, async ({ server, client }) => {
    await openDownloads(client, server);
    const folder = path.join(client.homeDir, 'Downloads');

    let since = client.mark();
    await client.page.click('#eightLectures');
    const started = await client.waitForLog('download started: ', { since, count: MaxDownloads });
    const notices = await waitFor(() => {
      const open = client.visibleWindows(Notice);
      return open.length === MaxDownloads ? open : null;
    }, () => `${MaxDownloads} notices`);
    since = client.mark();
    await client.page.click('#oneMoreLecture');
    await client.waitForLog(`download refused: ${MaxDownloads} notices are open: `, { since });

    // Cancel keeps the notice and its download.
    const kept = await closeNotice(client, notices[0], MessageBoxButtons.cancel);
    await waitFor(() => client.visibleWindows('^MsgForm$').length === 0,
      () => 'the question to close');
    assert.equal(client.visibleWindows(Notice).length, MaxDownloads);
    assert.deepEqual(client.matching(/^download (cancelled|failed|finished): /, kept), []);

    // OK cancels it: its partial file goes, and its place is free for the next download.
    const cancelled = await closeNotice(client, notices[0], MessageBoxButtons.ok);
    const [line] = await client.waitForLog('download cancelled: ', { since: cancelled });
    const file = line.slice('download cancelled: '.length);
    assert.ok(started.some((s) => s.endsWith(` to ${file}`)), `${file} was one of the downloads`);
    await waitFor(() => client.visibleWindows(Notice).length === MaxDownloads - 1,
      () => 'the notice to close');
    // Nothing of it stays, under its name or the browser's name for a partial file.
    await waitFor(() => !fs.readdirSync(folder).some((name) =>
      name.startsWith(path.basename(file))), () => `${file} to be removed`);

    since = client.mark();
    await client.page.click('#oneMoreLecture');
    await client.waitForLog('download started: ', { since });
    assert.deepEqual(client.matching('download refused: ', since), []);
    await waitFor(() => client.visibleWindows(Notice).length === MaxDownloads,
      () => 'the new download\'s notice');
    screenshot('downloadcancel-running');
  }));

test('a download larger than the disk\'s free space stops as failed, with the reason',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'downloadspace' }, async ({ server, client }) => {
    await openDownloads(client, server);
    const since = client.mark();
    await client.clickElement('#hugeLink');
    const [started] = await client.waitForLog('download started: ', { since });
    const file = started.slice(started.indexOf(' to ') + ' to '.length);
    assert.equal(path.basename(file), 'archive.zip');
    const [failed] = await client.waitForLog('download failed: ', { since });
    assert.equal(failed, `download failed: ${file}, 磁盘剩余空间不足`);
    await client.waitForVisibleWindow(Notice);
    screenshot('downloadspace-failed');
    await waitFor(() => !fs.existsSync(file), () => `${file} to be removed`);
  }));

test('a suggested name longer than a file name may be is shortened, and the file is saved',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'downloadlongname' }, async ({ server, client }) => {
    await openDownloads(client, server);
    const since = client.mark();
    await client.clickElement('#longNameLink');
    const [finished] = await client.waitForLog('download finished: ', { since });
    const file = finished.slice('download finished: '.length);
    // 80 of the 90 characters and the extension fill 244 bytes, which leaves room for the
    // browser's ".crdownload" in 255; the override is gone.
    assert.equal(path.basename(file), `${'第一单元听力材料'.repeat(11).slice(0, 80)}.txt`);
    assert.equal(fs.readFileSync(file, 'utf8'),
      'Unit 1: Campus life\nWords: library, lecture, dormitory\n');
  }));
