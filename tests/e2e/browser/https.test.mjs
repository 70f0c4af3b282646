// The platform over https as schools run it: the client trusts what the machine trusts (an
// authority added with update-ca-certificates), a certificate the administrator pinned for the
// platform, and nothing else. A refused certificate shows the certificate page, with no way past
// it, and a warning line that names the certificate. The certificates are made here.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { ScenarioTimeout, scenario, screenshot, sourceDir, waitFor } from './harness.mjs';

const machineAuthority = path.join(sourceDir, 'tests', 'e2e', 'support', 'machine-authority');
const certificatePageTitle = '学习平台的证书不受信任';
const RefusalLine = new RegExp('^certificate refused for (\\S+): subject "(.*)", issuer "(.*)", ' +
  'not before (.*) UTC, not after (.*) UTC, SHA-256 ([0-9A-F:]+), browser error (-\\d+) ' +
  '\\((.*)\\), this machine: (.*)$');

function openssl(dir, ...args) {
  const result = spawnSync('openssl', args, { cwd: dir, encoding: 'utf8', timeout: 60000 });
  if (result.status !== 0)
    throw new Error(`openssl ${args.join(' ')} failed: ${result.stderr}`);
  return result.stdout;
}

// A server certificate's key and, when an authority signs it, a request for it.
function serverRequest(dir, name, commonName) {
  openssl(dir, 'req', '-newkey', 'rsa:2048', '-nodes', '-keyout', `${name}.key`,
    '-out', `${name}.csr`, '-subj', `/CN=${commonName}`);
}

function extensions(dir, name, altNames) {
  fs.writeFileSync(path.join(dir, `${name}.ext`), `subjectAltName=${altNames}\n` +
    'basicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n');
}

// The school's own authority, and the server certificates of each case.
function makeCertificates(dir) {
  openssl(dir, 'req', '-x509', '-newkey', 'rsa:2048', '-nodes', '-keyout', 'ca.key',
    '-out', 'ca.pem', '-days', '30', '-subj', '/CN=Parvelo Test School CA',
    '-addext', 'basicConstraints=critical,CA:TRUE',
    '-addext', 'keyUsage=critical,keyCertSign,cRLSign');
  const signed = (name, commonName, altNames) => {
    serverRequest(dir, name, commonName);
    extensions(dir, name, altNames);
    openssl(dir, 'x509', '-req', '-in', `${name}.csr`, '-CA', 'ca.pem', '-CAkey', 'ca.key',
      '-CAcreateserial', '-days', '30', '-extfile', `${name}.ext`, '-out', `${name}.pem`);
  };
  signed('trusted', 'platform.school.test', 'IP:127.0.0.1,DNS:localhost');
  signed('wrongname', 'elsewhere.school.test', 'DNS:elsewhere.school.test');
  // A certificate of last year: "openssl ca" is the one command of openssl 3.0 that sets the
  // dates of a certificate it signs.
  serverRequest(dir, 'expired', 'platform.school.test');
  extensions(dir, 'expired', 'IP:127.0.0.1,DNS:localhost');
  fs.mkdirSync(path.join(dir, 'signed'));
  fs.writeFileSync(path.join(dir, 'index.txt'), '');
  fs.writeFileSync(path.join(dir, 'serial'), '1000\n');
  fs.writeFileSync(path.join(dir, 'ca.cnf'), '[ca]\ndefault_ca = school\n[school]\n' +
    'database = index.txt\nnew_certs_dir = signed\nserial = serial\ndefault_md = sha256\n' +
    'policy = any\nunique_subject = no\n[any]\ncommonName = supplied\n');
  openssl(dir, 'ca', '-batch', '-config', 'ca.cnf', '-cert', 'ca.pem', '-keyfile', 'ca.key',
    '-in', 'expired.csr', '-out', 'expired.pem', '-notext', '-extfile', 'expired.ext',
    '-startdate', '20200101000000Z', '-enddate', '20200201000000Z');
  openssl(dir, 'req', '-x509', '-newkey', 'rsa:2048', '-nodes', '-keyout', 'selfsigned.key',
    '-out', 'selfsigned.pem', '-days', '30', '-subj', '/CN=platform.school.test',
    '-addext', 'subjectAltName=IP:127.0.0.1,DNS:localhost');
}

const certificatesDir = fs.mkdtempSync(path.join(os.tmpdir(), 'parvelo-e2e-certificates-'));
process.on('exit', () => fs.rmSync(certificatesDir, { recursive: true, force: true }));
makeCertificates(certificatesDir);

function tls(name) {
  return { cert: path.join(certificatesDir, `${name}.pem`),
    key: path.join(certificatesDir, `${name}.key`) };
}

// What openssl says of a certificate: its SHA-256 fingerprint ("AB:CD:..."), its dates as the
// client's log writes them, its subject's and issuer's common names.
function describe(name) {
  const text = openssl(certificatesDir, 'x509', '-in', `${name}.pem`, '-noout', '-fingerprint',
    '-sha256', '-startdate', '-enddate', '-subject', '-issuer', '-nameopt', 'RFC2253');
  const field = (key) => new RegExp(`^${key}=(.*)$`, 'mi').exec(text)[1].trim();
  const logDate = (value) => new Date(value).toISOString().replace('T', ' ').replace(/\.\d+Z$/, '');
  return { sha256: field('sha256 Fingerprint'), notBefore: logDate(field('notBefore')),
    notAfter: logDate(field('notAfter')), subject: field('subject'), issuer: field('issuer') };
}

// The machine's store with the test authority added, for the client alone: root only. Made
// once, on the first client's start, for all of them.
const machineStore = fs.mkdtempSync(path.join(os.tmpdir(), 'parvelo-e2e-machine-store-'));
process.on('exit', () => fs.rmSync(machineStore, { recursive: true, force: true }));
const trustingMachine = [machineAuthority, machineStore, path.join(certificatesDir, 'ca.pem'),
  '--'];

const needsRoot = process.getuid() === 0 ? false
  : 'the machine\'s store is changed in a mount namespace of the test\'s own, which needs root';

// The client refused the platform's certificate: the certificate page, no request reached the
// server, and one warning line names the certificate.
async function expectRefusal(server, client, name, machineError) {
  await waitFor(async () => client.page.url().startsWith('data:text/html') &&
    await client.page.locator('h1').textContent().catch(() => null) === certificatePageTitle,
  () => `the certificate page (the browser is at ${client.page.url().slice(0, 80)})`);
  screenshot(`https-refused-${name}`);
  // Nothing to click past it.
  assert.equal(await client.page.locator('a, button, form, input').count(), 0);
  // Not the network's failure: no retry and no local error page.
  const navigations = client.matching(/^navigate: /);
  assert.equal(navigations.length, 2, navigations.join('\n'));
  assert.equal(navigations[0], `navigate: ${server.baseUrl}Home/`);
  assert.match(navigations[1], /^navigate: data:text\/html;charset=utf-8,/);
  assert.equal(client.matching(/errorpage\.htm/).length, 0);
  // The student's browser sent nothing, cookies included, to a server it does not trust.
  assert.deepEqual(server.requests(), []);

  const warnings = await waitFor(() => {
    const found = client.warnings();
    return found.length ? found : null;
  }, () => 'a warning line');
  assert.equal(warnings.length, 1, warnings.join('\n'));
  const match = RefusalLine.exec(warnings[0]);
  assert.ok(match, warnings[0]);
  const [, address, subject, issuer, notBefore, notAfter, sha256, browserError, , machine] = match;
  const expected = describe(name);
  assert.equal(address, `${server.baseUrl}Home/`);
  assert.equal(subject, expected.subject);
  assert.equal(issuer, expected.issuer);
  assert.equal(notBefore, expected.notBefore);
  assert.equal(notAfter, expected.notAfter);
  assert.equal(sha256, expected.sha256);
  assert.match(browserError, /^-2\d\d$/);
  assert.match(machine, machineError);
}

test('a platform whose authority the machine trusts opens, and its pages record',
  { timeout: ScenarioTimeout, skip: needsRoot },
  (t) => scenario(t, { name: 'https-trusted', serverTls: tls('trusted'), withSound: true,
    clientWrapper: trustingMachine },
  async ({ server, client }) => {
    assert.match(server.origin, /^https:\/\/127\.0\.0\.1:\d+$/);
    await client.logIn(server.origin);
    assert.deepEqual(client.warnings(), []);
    assert.ok(client.matching(`certificate accepted for ${server.baseUrl}Home/: trusted by ` +
      'this machine').length > 0);
    // The microphone still counts the page as a secure context of the platform.
    const record = `${server.origin}/sof/Media/Record`;
    const since = client.mark();
    await client.goTo(record);
    await client.waitForPage(record, { since });
    assert.equal(await client.page.evaluate(() => window.isSecureContext), true);
    await client.clickElement('#record');
    const state = await waitFor(async () => {
      const text = await client.page.textContent('#recordState');
      return /^(recorded|refused)/.test(text) ? text : null;
    }, () => 'the page to report its recording');
    assert.match(state, /^recorded [1-9]\d*$/);
    assert.deepEqual(client.matching(/^permission (granted|refused): /, since),
      [`permission granted: microphone for ${server.origin}/`]);
  }));

test('a certificate of an authority the machine does not know is refused',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'https-unknown', serverTls: tls('trusted') },
    async ({ server, client }) => {
      await expectRefusal(server, client, 'trusted', /^UnableToGetLocalIssuerCertificate\b/);
    }));

test('an expired certificate is refused though the machine trusts its authority',
  { timeout: ScenarioTimeout, skip: needsRoot },
  (t) => scenario(t, { name: 'https-expired', serverTls: tls('expired'),
    clientWrapper: trustingMachine },
  async ({ server, client }) => {
    await expectRefusal(server, client, 'expired', /^CertificateExpired$/);
  }));

test('a certificate for another name is refused though the machine trusts its authority',
  { timeout: ScenarioTimeout, skip: needsRoot },
  (t) => scenario(t, { name: 'https-wrongname', serverTls: tls('wrongname'),
    clientWrapper: trustingMachine },
  async ({ server, client }) => {
    await expectRefusal(server, client, 'wrongname', /^HostNameMismatch$/);
  }));

test('a self-signed certificate pinned for the platform opens it, in any usual spelling, and no other site',
  { timeout: ScenarioTimeout },
  (t) => {
    const { sha256 } = describe('selfsigned');
    const ca = describe('ca');
    // The colons left out, in lower case, after the next certificate of a change-over.
    const pins = `${ca.sha256}, ${sha256.replaceAll(':', '').toLowerCase()}`;
    return scenario(t, { name: 'https-pinned', serverTls: tls('selfsigned'),
      clientSettings: [['Host', 'CertificateSHA256', pins]] }, async ({ server, client }) => {
      await client.logIn(server.origin);
      assert.deepEqual(client.warnings(), []);
      assert.ok(client.matching(`certificate accepted for ${server.baseUrl}Home/: pinned, ` +
        `SHA-256 ${sha256}`).length > 0);

      // The same server and certificate under another name is not the platform: the pin says
      // nothing there.
      const since = client.mark();
      const requests = server.mark();
      const other = `https://localhost:${new URL(server.origin).port}/Home/Home/Main`;
      await client.goTo(other);
      await waitFor(async () => client.page.url().startsWith('data:text/html') &&
        await client.page.locator('h1').textContent().catch(() => null) ===
          certificatePageTitle, () => `the certificate page (at ${client.page.url()})`);
      assert.deepEqual(server.requestsSince(requests), []);
      const [warning, ...more] = client.warnings(since);
      assert.deepEqual(more, []);
      const match = RefusalLine.exec(warning);
      assert.ok(match, warning);
      assert.equal(match[1], other);
      assert.equal(match[6], sha256);
      assert.match(match[9], /^SelfSignedCertificate\b/);
    });
  });

test('a self-signed certificate with another fingerprint pinned is refused',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'https-wrongpin', serverTls: tls('selfsigned'),
    clientSettings: [['Host', 'CertificateSHA256', describe('trusted').sha256]] },
  async ({ server, client }) => {
    await expectRefusal(server, client, 'selfsigned', /^SelfSignedCertificate\b/);
  }));
