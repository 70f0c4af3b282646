// What the end-to-end tests need to run the installed client against the demo platform site
// and to drive it as a person would: a private installation per test, the demo server with a
// request log, the embedded browser reached over its debugging port, X11 input and
// screenshots, and waits on the client's DBG lines.
//
// Environment:
//   PARVELO_E2E_INSTALL_DIR  the staged installation to copy (default: build/e2e-install)
//   PARVELO_SOURCE_DIR       the source tree, for the demo site (default: found from here)
//   PARVELO_E2E_ARTIFACTS    where screenshots and the logs of failed tests go
//                            (default: a folder under the system's temporary directory)
//   PARVELO_E2E_WM_DELETE_WINDOW  the tool that asks a window to close as a window manager
//                            would (default: beside the staged installation in the build tree)
//   DISPLAY                  the X display the client and xdotool use

import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import readline from 'node:readline';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const here = path.dirname(fileURLToPath(import.meta.url));
export const sourceDir = process.env.PARVELO_SOURCE_DIR || path.resolve(here, '../../..');
export const stagedInstallDir =
  process.env.PARVELO_E2E_INSTALL_DIR || path.join(sourceDir, 'build', 'e2e-install');
export const artifactsDir =
  process.env.PARVELO_E2E_ARTIFACTS || path.join(os.tmpdir(), 'parvelo-e2e-browser');
const wmDeleteWindowTool = process.env.PARVELO_E2E_WM_DELETE_WINDOW ||
  path.join(path.dirname(stagedInstallDir), 'tests', 'e2e', 'e2e_wm_delete_window');

// Window geometry of the client, in window coordinates.
export const MainWindow = { width: 800, height: 600 };
export const BrowserPanel = { x: 2, y: 115 };
export const Buttons = {
  soundTest: { x: 559, y: 2, width: 59, height: 25 },
  logOut: { x: 615, y: 2, width: 60, height: 25 },
  returnToMain: { x: 686, y: 39, width: 95, height: 33 },
  close: { x: 752, y: 2, width: 28, height: 14 },
};
export const MessageBox = { width: 318, height: 150 };
// The microphone check, centred on the main window, and its start page's close button.
export const Wizard = { width: 558, height: 353, close: { x: 528, y: 12, width: 19, height: 19 } };
export const MessageBoxButtons = {
  ok: { x: 64, y: 104, width: 65, height: 26 },
  cancel: { x: 168, y: 104, width: 65, height: 26 },
};

// How long one scenario may take at most; its waits are bounded well below that.
export const ScenarioTimeout = 240000;

// The client's hand-over messages.
export const Messages = { showMainWindow: 0x502, otherInstance: 0x503, hideMainWindow: 0x510 };

// Every client started here is ended when this process ends, however it ends.
const liveClients = new Set();
process.on('exit', () => {
  for (const client of liveClients) client.killAllSync();
});
for (const signal of ['SIGINT', 'SIGTERM']) {
  process.once(signal, () => process.exit(128 + (signal === 'SIGINT' ? 2 : 15)));
}

export function sleep(ms) {
  return new Promise((resolve) => setTimeout(resolve, ms));
}

// The promise's value, or the fallback once ms have passed; the timer does not keep the
// process alive after the promise has settled.
export async function within(ms, promise, fallback = undefined) {
  let timer;
  const timeout = new Promise((resolve) => {
    timer = setTimeout(() => resolve(fallback), ms);
  });
  try {
    return await Promise.race([promise, timeout]);
  } finally {
    clearTimeout(timer);
  }
}

// Polls until check() gives a truthy value, which is returned; fails with what() after
// timeoutMs. The bound is generous: it only stops a test that would wait for ever.
export async function waitFor(check, what, timeoutMs = 30000, intervalMs = 100) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() > end) throw new Error(`waited ${timeoutMs} ms for ${what()}`);
    await sleep(intervalMs);
  }
}

export function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

function escapeRegExp(text) {
  return text.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
}

// ---- X11 -------------------------------------------------------------------------------------

export function xdotool(...args) {
  const result = spawnSync('xdotool', args.map(String), { encoding: 'utf8', timeout: 15000 });
  if (result.error) throw result.error;
  return result;
}

export function screenSize() {
  const result = xdotool('getdisplaygeometry');
  const [width, height] = result.stdout.trim().split(/\s+/).map(Number);
  if (!width || !height) throw new Error(`no display geometry: ${result.stderr}`);
  return { width, height };
}

// The top-left corner of a window of the given size centred on the screen, as the client
// places its main window and its message boxes.
export function centredOrigin(size) {
  const screen = screenSize();
  return {
    x: Math.floor((screen.width - size.width) / 2),
    y: Math.floor((screen.height - size.height) / 2),
  };
}

export function clickAt(x, y) {
  const result = xdotool('mousemove', Math.round(x), Math.round(y), 'sleep', '0.1', 'click', '1');
  if (result.status !== 0) throw new Error(`xdotool click failed: ${result.stderr}`);
}

// A click in the middle of a rectangle given in the coordinates of a centred window.
export function clickInCentredWindow(windowSize, rect) {
  const origin = centredOrigin(windowSize);
  clickAt(origin.x + rect.x + rect.width / 2, origin.y + rect.y + rect.height / 2);
}

// Presses the left button at one point, moves the mouse to another in a few steps and releases
// it there, as a person drags.
export function dragMouse(from, to, steps = 4) {
  const moves = [];
  for (let step = 1; step <= steps; step++) {
    const x = Math.round(from.x + ((to.x - from.x) * step) / steps);
    const y = Math.round(from.y + ((to.y - from.y) * step) / steps);
    moves.push('mousemove', x, y, 'sleep', '0.05');
  }
  const result = xdotool('mousemove', Math.round(from.x), Math.round(from.y), 'sleep', '0.1',
    'mousedown', '1', 'sleep', '0.1', ...moves, 'sleep', '0.1', 'mouseup', '1');
  if (result.status !== 0) throw new Error(`xdotool drag failed: ${result.stderr}`);
}

export function pressKey(key) {
  const result = xdotool('key', key);
  if (result.status !== 0) throw new Error(`xdotool key ${key} failed: ${result.stderr}`);
}

// Top-level windows whose name matches the pattern (a regular expression), of the program with
// the given class name when one is given; only the visible ones unless told otherwise.
export function visibleWindows(namePattern, className = null, { onlyVisible = true } = {}) {
  const ids = (result) => result.stdout.split('\n').map((line) => line.trim())
    .filter((line) => /^\d+$/.test(line));
  const visible = onlyVisible ? ['--onlyvisible'] : [];
  if (!className) return ids(xdotool('search', ...visible, '--name', namePattern));
  const name = new RegExp(namePattern);
  return ids(xdotool('search', ...visible, '--class', `^${className}$`))
    .filter((id) => name.test(xdotool('getwindowname', id).stdout.replace(/\n$/, '')));
}

// The X11 map state of a window: IsViewable, IsUnMapped or IsUnviewable.
export function mapState(windowId) {
  const result = spawnSync('xwininfo', ['-id', String(windowId)], { encoding: 'utf8',
    timeout: 15000 });
  const match = /Map State:\s*(\S+)/.exec(result.stdout || '');
  return match ? match[1] : null;
}

// Waits until such a window is shown; returns the windows.
export async function waitForVisibleWindow(namePattern, className = null, timeoutMs = 30000) {
  return waitFor(() => {
    const windows = visibleWindows(namePattern, className);
    return windows.length ? windows : null;
  }, () => `a visible window named ${namePattern}`, timeoutMs);
}

// Where a window is on the screen and how large it is.
export function windowGeometry(windowId) {
  const result = xdotool('getwindowgeometry', windowId);
  const position = /Position:\s*(-?\d+),(-?\d+)/.exec(result.stdout);
  const size = /Geometry:\s*(\d+)x(\d+)/.exec(result.stdout);
  if (!position || !size) throw new Error(`no geometry of window ${windowId}: ${result.stderr}`);
  return { x: Number(position[1]), y: Number(position[2]), width: Number(size[1]),
    height: Number(size[2]) };
}

// Asks a window to close as a window manager does (a WM_DELETE_WINDOW message); the test
// display has no window manager to do it.
export function askWindowToClose(windowId) {
  const result = spawnSync(wmDeleteWindowTool, [String(windowId)], { encoding: 'utf8',
    timeout: 15000 });
  if (result.error) throw result.error;
  if (result.status !== 0)
    throw new Error(`${wmDeleteWindowTool} ${windowId} failed: ${result.stderr}`);
}

export function screenshot(name) {
  fs.mkdirSync(artifactsDir, { recursive: true });
  const file = path.join(artifactsDir, `${name}.png`);
  const result = spawnSync('import', ['-window', 'root', file], { timeout: 30000 });
  return result.status === 0 ? file : null;
}

// ---- the demo platform site -----------------------------------------------------------------

export class DemoServer {
  //   tls: { cert, key }, PEM files: the site is served over https with them
  static async start(root, { tls = null } = {}) {
    const server = new DemoServer(root);
    await server.#launch(tls);
    return server;
  }

  constructor(root) {
    this.requestLogPath = path.join(root, 'requests.log');
    this.process = null;
    this.baseUrl = null;
  }

  async #launch(tls) {
    const script = path.join(sourceDir, 'demo', 'platform', 'server.py');
    const https = tls ? ['--tls-cert', tls.cert, '--tls-key', tls.key] : [];
    this.process = spawn('python3', ['-B', script, '--port', '0', '--request-log',
      this.requestLogPath, ...https], { stdio: ['ignore', 'pipe', 'inherit'] });
    const lines = readline.createInterface({ input: this.process.stdout });
    const first = await within(20000, Promise.race([
      new Promise((resolve) => lines.once('line', resolve)),
      new Promise((resolve) => this.process.once('exit', () => resolve(null))),
    ]), null);
    const match = first && /(https?:\/\/\S+\/)/.exec(first);
    if (!match) {
      await this.stop();
      throw new Error(`the demo platform did not start: ${first}`);
    }
    this.baseUrl = match[1];
    this.origin = this.baseUrl.replace(/\/$/, '');
  }

  // The requests so far, one "METHOD /path?query" each, in arrival order; the browser's
  // own requests for the site's icon are left out.
  requests() {
    let text = '';
    try {
      text = fs.readFileSync(this.requestLogPath, 'utf8');
    } catch {
      return [];
    }
    return text.split('\n').filter((line) => line && !/^\S+ \/favicon\.ico/i.test(line));
  }

  // A mark in the request log, and the requests that came after it.
  mark() {
    return this.requests().length;
  }

  requestsSince(mark) {
    return this.requests().slice(mark);
  }

  async waitForRequest(pattern, { since = 0, timeoutMs = 30000 } = {}) {
    return waitFor(() => this.requestsSince(since).find((line) => pattern.test(line)),
      () => `a request matching ${pattern}; the requests were:\n` +
        this.requestsSince(since).join('\n'), timeoutMs);
  }

  async stop() {
    if (!this.process || this.process.exitCode !== null || this.process.signalCode) return;
    const exited = new Promise((resolve) => this.process.once('exit', resolve));
    this.process.kill('SIGTERM');
    await within(5000, exited);
    if (this.process.exitCode === null && !this.process.signalCode) {
      this.process.kill('SIGKILL');
      await within(5000, exited);
    }
  }
}

// ---- a private sound server ---------------------------------------------------------------------

// The tests' own PulseAudio: a null sink "speaker" as the loudspeaker and a virtual microphone.
export class SoundServer {
  static script = path.join(sourceDir, 'tests', 'support', 'pulse', 'pulse-session');

  static start(dir) {
    const result = spawnSync(SoundServer.script, ['start', dir], { encoding: 'utf8',
      timeout: 60000 });
    if (result.status !== 0) throw new Error(`the sound server did not start: ${result.stderr}`);
    return new SoundServer(dir);
  }

  constructor(dir) {
    this.dir = dir;
    this.env = { PULSE_SERVER: `unix:${dir}/native` };
  }

  // The loudest sample the loudspeaker plays during the next milliseconds, from 0 to 1.
  async loudspeakerPeak(ms) {
    const recorder = spawn('parec', ['-d', 'speaker.monitor', '--raw', '--format=s16le',
      '--rate=16000', '--channels=1'], { env: { ...process.env, ...this.env },
      stdio: ['ignore', 'pipe', 'ignore'] });
    let peak = 0;
    recorder.stdout.on('data', (chunk) => {
      for (let i = 0; i + 1 < chunk.length; i += 2)
        peak = Math.max(peak, Math.abs(chunk.readInt16LE(i)) / 32768);
    });
    await sleep(ms);
    const ended = new Promise((resolve) => recorder.once('exit', resolve));
    recorder.kill('SIGTERM');
    await within(5000, ended);
    return peak;
  }

  stop() {
    spawnSync(SoundServer.script, ['stop', this.dir], { timeout: 60000 });
  }
}

// Stand-ins for the desktop's address openers, first on PATH: each records its call in a file
// instead of starting a program.
export class FakeOpeners {
  static names = ['xdg-open', 'gio', 'kde-open', 'kde-open5', 'kfmclient', 'gnome-open',
    'gvfs-open', 'exo-open', 'sensible-browser', 'x-www-browser', 'www-browser'];

  constructor() {
    this.dir = fs.mkdtempSync(path.join(os.tmpdir(), 'parvelo-e2e-openers-'));
    this.recordPath = path.join(this.dir, 'calls.log');
    for (const name of FakeOpeners.names) {
      const file = path.join(this.dir, name);
      fs.writeFileSync(file, `#!/bin/sh\necho "$(basename "$0") $*" >> '${this.recordPath}'\n`);
      fs.chmodSync(file, 0o755);
    }
    this.env = { PATH: `${this.dir}:${process.env.PATH}` };
  }

  calls() {
    try {
      return fs.readFileSync(this.recordPath, 'utf8').split('\n').filter(Boolean);
    } catch {
      return [];
    }
  }

  remove() {
    fs.rmSync(this.dir, { recursive: true, force: true });
  }
}

// ---- the client -------------------------------------------------------------------------------

function copyTree(from, to) {
  fs.cpSync(from, to, { recursive: true, preserveTimestamps: true });
}

// Sets key=value in [section] of an INI text, adding the section or the key when missing;
// keeps the text's line ends.
export function setIniValue(text, section, key, value) {
  const eol = text.includes('\r\n') ? '\r\n' : '\n';
  const lines = text.split(/\r?\n/);
  let inSection = false;
  let sectionEnd = -1;
  for (let i = 0; i < lines.length; i++) {
    const header = /^\s*\[([^\]]*)\]\s*$/.exec(lines[i]);
    if (header) {
      if (inSection) break;
      inSection = header[1].trim().toLowerCase() === section.toLowerCase();
      if (inSection) sectionEnd = i + 1;
      continue;
    }
    if (!inSection) continue;
    const entry = /^\s*([^=;]+?)\s*=/.exec(lines[i]);
    if (entry && entry[1].toLowerCase() === key.toLowerCase()) {
      lines[i] = `${key}=${value}`;
      return lines.join(eol);
    }
    if (lines[i].trim() !== '') sectionEnd = i + 1;
  }
  if (sectionEnd < 0) {
    while (lines.length && lines[lines.length - 1] === '') lines.pop();
    lines.push('', `[${section}]`, `${key}=${value}`, '');
  } else {
    lines.splice(sectionEnd, 0, `${key}=${value}`);
  }
  return lines.join(eol);
}

function processExeName(pid) {
  try {
    return path.basename(fs.readlinkSync(`/proc/${pid}/exe`).replace(/ \(deleted\)$/, ''));
  } catch {
    try {
      return fs.readFileSync(`/proc/${pid}/comm`, 'utf8').trim();
    } catch {
      return '';
    }
  }
}

function parentOf(pid) {
  try {
    const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
    // The command name in parentheses may hold spaces: the fields after it are plain.
    return Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]);
  } catch {
    return -1;
  }
}

function allPids() {
  return fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name)).map(Number);
}

let clientSerial = 0;

export class Client {
  // name: a short word for the test, part of the program's unique name.
  constructor(name) {
    clientSerial += 1;
    this.root = fs.mkdtempSync(path.join(os.tmpdir(), `parvelo-e2e-${name}-`));
    // The client ends every process of its own name when it closes: no other test may share it.
    this.exeName = `pv-${name}-${process.pid}-${clientSerial}`.toLowerCase();
    // The title names the window on the display; unique, so that a search finds only ours.
    this.title = `Parvelo e2e ${name} ${process.pid}-${clientSerial}`;
    this.dir = path.join(this.root, 'install');
    this.runtimeDir = path.join(this.root, 'run');
    this.homeDir = path.join(this.root, 'home');
    this.logPath = path.join(this.dir, 'zoravoraz.log');
    this.outputPath = path.join(this.root, 'client-output.log');
    this.process = null;
    this.browser = null;
    this.page = null;
  }

  // Makes a private installation of the staged one for this test and starts the client.
  //   host:  the Host setting (the platform's address)
  //   env:   more environment for the client
  //   settings: more settings, [section, key, value] each
  //   wrapper: a command and its arguments that run the program (given last) in its place,
  //            ending in exec so that the process stays the client's
  // The caller keeps the object before starting it, so that a failed start is cleaned up too.
  async start({ host, env = {}, settings = [], wrapper = [] }) {
    this.env = env;
    this.wrapper = wrapper;
    this.#install(host, settings);
    await this.#launch(env);
    return this;
  }

  // Starts the same installation again, with the same home and browser profile, once the
  // client has ended; connects to its browser.
  async restart() {
    if (this.process.exitCode === null && !this.process.signalCode)
      throw new Error('the client is still running');
    if (this.browser) await this.browser.close().catch(() => {});
    this.browser = null;
    await this.#launch(this.env);
    return this.connect();
  }

  // Waits until the client process has ended by itself.
  async waitForExit(timeoutMs = 30000) {
    if (this.process.exitCode !== null || this.process.signalCode) return;
    const exited = await within(timeoutMs,
      new Promise((resolve) => this.process.once('exit', () => resolve(true))), false);
    if (!exited) throw new Error(`the client did not end within ${timeoutMs} ms`);
  }

  get exePath() {
    return path.join(this.dir, this.exeName);
  }

  get confPath() {
    return path.join(this.dir, 'Conf.ini');
  }

  #install(host, settings) {
    if (!fs.existsSync(path.join(stagedInstallDir, 'parvelo')))
      throw new Error(`no staged installation in ${stagedInstallDir}`);
    copyTree(stagedInstallDir, this.dir);
    fs.renameSync(path.join(this.dir, 'parvelo'), this.exePath);
    fs.mkdirSync(this.runtimeDir, { mode: 0o700 });
    fs.chmodSync(this.runtimeDir, 0o700);
    fs.mkdirSync(this.homeDir);
    let conf = fs.readFileSync(this.confPath, 'utf8');
    conf = setIniValue(conf, 'Host', 'Host', host);
    conf = setIniValue(conf, 'App', 'Title', this.title);
    // Errors, warnings, information and the DBG lines.
    conf = setIniValue(conf, 'logger', 'level', '39');
    for (const [section, key, value] of settings) conf = setIniValue(conf, section, key, value);
    fs.writeFileSync(this.confPath, conf);
  }

  async #launch(env) {
    // A restart writes to the same log: only its own lines count.
    const since = this.mark();
    this.debugPort = await freePort();
    const output = fs.openSync(this.outputPath, 'a');
    const [command, ...args] = [...this.wrapper, this.exePath];
    this.process = spawn(command, args, {
      cwd: this.root,
      env: {
        ...process.env,
        XDG_RUNTIME_DIR: this.runtimeDir,
        HOME: this.homeDir,
        QT_QPA_PLATFORM: 'xcb',
        // The embedded browser refuses to run as root with its sandbox on.
        QTWEBENGINE_DISABLE_SANDBOX: '1',
        QTWEBENGINE_REMOTE_DEBUGGING: `127.0.0.1:${this.debugPort}`,
        ...env,
      },
      stdio: ['ignore', output, output],
    });
    fs.closeSync(output);
    liveClients.add(this);
    await this.waitForLog('start-up: message loop', { since, timeoutMs: 60000 });
  }

  // ---- the log ----

  log() {
    try {
      return fs.readFileSync(this.logPath, 'utf8');
    } catch {
      return '';
    }
  }

  // A mark in the log: waits and counts after it see only what was written later.
  mark() {
    return this.log().length;
  }

  // The DBG texts (the part after "DBG") of the lines written since the mark.
  dbgLines(since = 0) {
    return this.log()
      .slice(since)
      .split(/\r?\n/)
      .map((line) => /^\[[^\]]*\]\[DBG\](?:\[[^\]]*\])*\s?(.*)$/.exec(line))
      .filter(Boolean)
      .map((match) => match[1]);
  }

  // The texts of the warning lines ("WAN") written since the mark.
  warnings(since = 0) {
    return this.log()
      .slice(since)
      .split(/\r?\n/)
      .map((line) => /^\[[^\]]*\]\[WAN\](?:\[[^\]]*\])*\s?(.*)$/.exec(line))
      .filter(Boolean)
      .map((match) => match[1]);
  }

  // DBG texts matching the pattern (a string is matched at the start of the text).
  matching(pattern, since = 0) {
    const re = typeof pattern === 'string' ? new RegExp(`^${escapeRegExp(pattern)}`) : pattern;
    return this.dbgLines(since).filter((text) => re.test(text));
  }

  // Waits until count DBG lines after the mark match the pattern; returns them. A client that
  // has ended will write none: that fails at once.
  async waitForLog(pattern, { since = 0, count = 1, timeoutMs = 30000 } = {}) {
    return waitFor(() => {
      const found = this.matching(pattern, since);
      if (found.length >= count) return found;
      const { exitCode, signalCode } = this.process;
      if (exitCode !== null || signalCode)
        throw new Error(`the client ended (${signalCode || `exit code ${exitCode}`}) before ` +
          `${count} DBG line(s) matching ${pattern}; the last lines were:\n` +
          this.dbgLines(since).slice(-15).join('\n'));
      return null;
    }, () => `${count} DBG line(s) matching ${pattern} in ${this.logPath}` +
      `; the last lines were:\n${this.dbgLines(since).slice(-15).join('\n')}`, timeoutMs);
  }

  // The last "page document" (or "page loaded") line after the mark for an address: a string
  // is the whole address, a regular expression matches its start.
  async waitForPageDocument(address, options = {}) {
    const lines = await this.waitForLog(pageLinePattern('page document', address), options);
    return parsePageDocument(lines[lines.length - 1]);
  }

  // The client has handled the top page at the address, and the debugging connection has seen
  // the browser arrive there (its view of the page may lag behind the client's log).
  async waitForPage(address, options = {}) {
    const document = await this.waitForPageDocument(address, options);
    await this.waitForBrowserAt(address, options.timeoutMs);
    return document;
  }

  // The debugging connection has seen the browser arrive at the address.
  async waitForBrowserAt(address, timeoutMs = 30000) {
    await waitFor(() => this.page.url() === address,
      () => `the browser at ${address} (it is at ${this.page.url()})`, timeoutMs);
  }

  async waitForPageLoaded(address, options = {}) {
    const lines = await this.waitForLog(pageLinePattern('page loaded', address), options);
    return parsePageLoaded(lines[lines.length - 1]);
  }

  // ---- the embedded browser ----

  async connect() {
    const endpoint = `http://127.0.0.1:${this.debugPort}`;
    await waitFor(async () => {
      try {
        const response = await fetch(`${endpoint}/json/version`);
        return response.ok;
      } catch {
        return false;
      }
    }, () => `the browser's debugging port ${endpoint}`, 30000, 200);
    this.browser = await chromium.connectOverCDP(endpoint, { noDefaults: true, timeout: 30000 });
    this.page = await waitFor(() => {
      for (const context of this.browser.contexts())
        for (const page of context.pages())
          if (!page.url().startsWith('devtools:')) return page;
      return null;
    }, () => 'the client\'s page over the debugging connection', 30000, 200);
    // The client answers the page's dialogs itself (a click it takes over reaches it as one);
    // with a listener of its own the debugging connection leaves them alone, also in the
    // windows pages open later.
    this.page.on('dialog', () => {});
    for (const context of this.browser.contexts())
      context.on('page', (page) => page.on('dialog', () => {}));
    return this.page;
  }

  // The browser's cookies for an address, read over the page's debugging connection.
  async cookies(url) {
    const cdp = await this.page.context().newCDPSession(this.page);
    try {
      const { cookies } = await cdp.send('Network.getCookies', { urls: [url] });
      return cookies;
    } finally {
      await cdp.detach().catch(() => {});
    }
  }

  // The page number the demo site prints at the foot of each page (one number per response).
  async pageNumber() {
    const text = await this.page.evaluate(() => document.querySelector('footer')?.textContent);
    const match = /No\.\s*(\d+)/.exec(text || '');
    return match ? Number(match[1]) : null;
  }

  // Logs in through the site's log-in page, as a person fills in the form; waits for the
  // learning home page.
  async logIn(origin) {
    await this.waitForPage(`${origin}/Home/Home/Index`);
    await this.page.fill('#username', 'liming');
    await this.page.fill('#password', 'secret');
    const since = this.mark();
    await this.page.click('#login');
    return this.waitForPage(`${origin}/Home/Home/Main`, { since });
  }

  // Follows a link of the current page, clicked with the mouse as a person would, and waits
  // until the client has handled the new page.
  async followLink(href) {
    const since = this.mark();
    await this.clickElement(`a[href="${href}"]`);
    return this.waitForPage(new URL(href, this.page.url()).href, { since });
  }

  // A page element's centre on the screen, for a click as a person would make it.
  async elementCentreOnScreen(selector) {
    const box = await this.page.evaluate((sel) => {
      const element = document.querySelector(sel);
      if (!element) return null;
      element.scrollIntoView({ block: 'center' });
      const rect = element.getBoundingClientRect();
      return { x: rect.left + rect.width / 2, y: rect.top + rect.height / 2 };
    }, selector);
    if (!box) throw new Error(`no element ${selector} on ${this.page.url()}`);
    const origin = centredOrigin(MainWindow);
    return { x: origin.x + BrowserPanel.x + box.x, y: origin.y + BrowserPanel.y + box.y };
  }

  // Sends the browser to an address as a page script does; for addresses no page links to.
  async goTo(address) {
    const url = new URL(address, this.page.url()).href;
    await this.page.evaluate((to) => {
      window.location.href = to;
    }, url);
    return url;
  }

  async clickElement(selector) {
    const at = await this.elementCentreOnScreen(selector);
    clickAt(at.x, at.y);
  }

  clickButton(button) {
    clickInCentredWindow(MainWindow, button);
  }

  // The client's windows on the display: the main window carries the title, the skinned
  // message box is "MsgForm".
  visibleWindows(namePattern) {
    return visibleWindows(namePattern, this.exeName);
  }

  // The main window, shown or not.
  mainWindowId() {
    const ids = visibleWindows(`^${escapeRegExp(this.title)}$`, this.exeName,
      { onlyVisible: false });
    if (ids.length !== 1) throw new Error(`${ids.length} main windows named ${this.title}`);
    return ids[0];
  }

  waitForVisibleWindow(namePattern, timeoutMs = 30000) {
    return waitForVisibleWindow(namePattern, this.exeName, timeoutMs);
  }

  // Waits for the skinned message box with the text (its DBG line comes just before it shows).
  async waitForMessageBox(text, since) {
    await this.waitForLog(`message box: ${text}`, { since });
    await this.waitForVisibleWindow('^MsgForm$');
  }

  // Waits for the default error box with the text. It carries the application title, as the
  // main window does, so both are on the display while it is open.
  async waitForErrorBox(text, since) {
    await this.waitForLog(`error shown: ${text}`, { since });
    await waitFor(() => this.visibleWindows(`^${escapeRegExp(this.title)}$`).length === 2,
      () => `the error box "${text}" on the display`);
  }

  // Closes the error box with the Enter key, which answers its only button.
  async closeErrorBox() {
    pressKey('Return');
    await waitFor(() => this.visibleWindows(`^${escapeRegExp(this.title)}$`).length === 1,
      () => 'the error box to close');
  }

  // Clicks the return button and tells whether it answered with its question, which must be
  // the tip; the question is cancelled. The sound-test click that follows is handled after the
  // first, so once that one is in the log a question would be too; while the question is open,
  // the sound test cannot be clicked.
  async returnButtonAnswers(tip) {
    const since = this.mark();
    this.clickButton(Buttons.returnToMain);
    this.clickButton(Buttons.soundTest);
    const [first] = await this.waitForLog(/^(sound-test button pressed|message box: )/,
      { since });
    if (first === 'sound-test button pressed') {
      await this.closeRecordingCheck(since);
      if (this.matching(/^message box: /, since).length)
        throw new Error('the return question came after the sound test was clicked');
      return false;
    }
    await this.waitForMessageBox(tip, since);
    clickInCentredWindow(MessageBox, MessageBoxButtons.cancel);
    await this.waitForLog('return question answered 2', { since });
    return true;
  }

  // The sound-test button opens the microphone check: a click on it used as a probe closes
  // the check again with its close button.
  async closeRecordingCheck(since) {
    await this.waitForLog('recording check: start page', { since });
    const main = windowGeometry(this.mainWindowId());
    clickAt(main.x + (MainWindow.width - Wizard.width) / 2 + Wizard.close.x + Wizard.close.width / 2,
      main.y + (MainWindow.height - Wizard.height) / 2 + Wizard.close.y + Wizard.close.height / 2);
    await this.waitForLog(/^recording check: closed/, { since });
  }

  // ---- the hand-over socket ----

  get handoverSocket() {
    return path.join(this.runtimeDir, 'Vorla2.6.socket');
  }

  // Sends the messages on one connection, each a number of 4 bytes in little-endian order, and
  // resolves with the one-byte answers.
  sendMessages(messages, timeoutMs = 15000) {
    return new Promise((resolve, reject) => {
      const socket = net.createConnection(this.handoverSocket);
      const answers = [];
      const timer = setTimeout(() => {
        socket.destroy();
        reject(new Error(`${answers.length} answers to ${messages.length} messages ` +
          `in ${timeoutMs} ms`));
      }, timeoutMs);
      socket.once('error', (error) => {
        clearTimeout(timer);
        reject(error);
      });
      socket.once('connect', () => {
        const data = Buffer.alloc(4 * messages.length);
        messages.forEach((message, i) => data.writeUInt32LE(message, 4 * i));
        socket.write(data);
      });
      socket.on('data', (chunk) => {
        answers.push(...chunk);
        if (answers.length >= messages.length) {
          clearTimeout(timer);
          socket.end();
          resolve(answers);
        }
      });
    });
  }

  async sendMessage(message, timeoutMs = 15000) {
    const [answer] = await this.sendMessages([message], timeoutMs);
    return answer;
  }

  // ---- ending ----

  // The client process, whatever it started, and every process of the unique program name.
  #ownPids() {
    const pids = allPids();
    const mine = new Set();
    if (this.process?.pid) mine.add(this.process.pid);
    for (const pid of pids)
      if (processExeName(pid).toLowerCase() === this.exeName) mine.add(pid);
    // The browser's helper processes descend from the client.
    let grew = true;
    while (grew) {
      grew = false;
      for (const pid of pids) {
        if (!mine.has(pid) && mine.has(parentOf(pid))) {
          mine.add(pid);
          grew = true;
        }
      }
    }
    return [...mine];
  }

  killAllSync() {
    for (let round = 0; round < 3; round++) {
      const pids = this.#ownPids().filter((pid) => fs.existsSync(`/proc/${pid}`));
      if (!pids.length) break;
      for (const pid of pids) {
        try {
          process.kill(pid, 'SIGKILL');
        } catch {
          // already gone
        }
      }
    }
    liveClients.delete(this);
  }

  runningCount() {
    return allPids().filter((pid) => processExeName(pid).toLowerCase() === this.exeName).length;
  }

  async stop() {
    const browser = this.browser;
    this.browser = null;
    this.killAllSync();
    if (this.process && this.process.exitCode === null && !this.process.signalCode)
      await within(10000, new Promise((resolve) => this.process.once('exit', resolve)));
    await waitFor(() => this.runningCount() === 0, () => `the end of ${this.exeName}`, 10000)
      .catch(() => this.killAllSync());
    if (browser) await browser.close().catch(() => {});
  }

  removeFiles() {
    fs.rmSync(this.root, { recursive: true, force: true });
  }
}

function pageLinePattern(kind, address) {
  if (typeof address === 'string') return new RegExp(`^${kind}: ${escapeRegExp(address)};`);
  return new RegExp(`^${kind}: (?:${address.source})`, address.flags);
}

export function parsePageLoaded(text) {
  const match =
    /^page loaded: (.*); inner skin (\d+), log-out (\d+), Enter switch (\d+)$/.exec(text);
  if (!match) throw new Error(`not a page-loaded line: ${text}`);
  return { url: match[1], innerSkin: match[2] === '1', logOut: match[3] === '1',
    enterSwitch: match[4] === '1' };
}

export function parsePageDocument(text) {
  const match = new RegExp('^page document: (.*); return "(.*)", return button (\\d+), ' +
    'sound test (\\d+), hidden link (\\d+)$').exec(text);
  if (!match) throw new Error(`not a page-document line: ${text}`);
  return { url: match[1], returnURL: match[2], returnButton: match[3] === '1',
    soundTest: match[4] === '1', hiddenLink: match[5] === '1' };
}

// Runs one scenario with its own demo server and client, and ends both whatever happens.
// On failure the client's log, the request log and a screenshot are kept for a person to read.
//   t:        the test's context
//   name:     a short word for the scenario (file names, the program's unique name)
//   clientEnv, hostPath: environment for the client, the Host setting's path on the server
//   clientSettings, clientWrapper: more settings for the client, a command that runs it
//   serverTls: the site's certificate and key, for https
export async function scenario(t, { name, clientEnv = {}, hostPath = 'Home/', withSound = false,
  clientSettings = [], clientWrapper = [], serverTls = null }, body) {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), `parvelo-e2e-site-${name}-`));
  let server = null;
  let client = null;
  let sound = null;
  let failed = true;
  try {
    server = await DemoServer.start(root, { tls: serverTls });
    if (withSound) sound = SoundServer.start(path.join(root, 'pulse'));
    client = new Client(name);
    await client.start({ host: server.baseUrl + hostPath,
      env: { ...(sound ? sound.env : {}), ...clientEnv },
      settings: clientSettings,
      wrapper: clientWrapper });
    await client.connect();
    await body({ server, client, sound });
    failed = false;
  } finally {
    if (failed) {
      fs.mkdirSync(artifactsDir, { recursive: true });
      const shot = screenshot(`${name}-failed`);
      const kept = path.join(artifactsDir, `${name}-failed`);
      fs.rmSync(kept, { recursive: true, force: true });
      fs.mkdirSync(kept, { recursive: true });
      if (client) {
        for (const file of [client.logPath, client.outputPath])
          if (fs.existsSync(file)) fs.copyFileSync(file, path.join(kept, path.basename(file)));
      }
      if (server && fs.existsSync(server.requestLogPath))
        fs.copyFileSync(server.requestLogPath, path.join(kept, 'requests.log'));
      t.diagnostic(`kept for reading: ${kept}${shot ? `, ${shot}` : ''}`);
    }
    if (client) {
      await client.stop();
      client.removeFiles();
    }
    if (server) await server.stop();
    if (sound) sound.stop();
    fs.rmSync(root, { recursive: true, force: true });
  }
}
