// The old browser's event model, its XML objects and its smaller calls, as the platform's pages
// written for it use them; other sites see the engine as it is.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { ScenarioTimeout, dragMouse, scenario, screenshot, waitFor } from './harness.mjs';

async function openPage(client, address) {
  const since = client.mark();
  await client.goTo(address);
  await client.waitForPage(address, { since });
}

// Runs each case in the page and compares what it answers.
async function checkCases(client, cases) {
  for (const { name, run, expected } of cases)
    assert.deepEqual(await client.page.evaluate(run), expected, name);
}

async function pageText(client, selector, wanted, what) {
  return waitFor(async () => {
    const text = await client.page.innerText(selector);
    return wanted.test(text) ? text : null;
  }, () => what);
}

const eventCases = [
  {
    name: 'a handler attached twice runs once; attachEvent answers true',
    run: () => {
      const button = document.createElement('button');
      document.body.appendChild(button);
      let runs = 0;
      const handler = () => { runs += 1; };
      const answers = [button.attachEvent('onclick', handler), button.attachEvent('onclick', handler)];
      button.click();
      button.remove();
      return { answers, runs };
    },
    expected: { answers: [true, true], runs: 1 },
  },
  {
    name: 'a detached handler no longer runs; the other one still does',
    run: () => {
      const button = document.createElement('button');
      document.body.appendChild(button);
      const runs = [];
      const first = () => runs.push('first');
      const second = () => runs.push('second');
      button.attachEvent('onclick', first);
      button.attachEvent('onClick', second);
      button.detachEvent('onclick', first);
      button.click();
      button.remove();
      return runs;
    },
    expected: ['second'],
  },
  {
    name: 'inside the handler, this is the window and window.event the event',
    run: () => {
      const button = document.createElement('button');
      button.id = 'probe';
      document.body.appendChild(button);
      let seen = null;
      button.attachEvent('onclick', function (argument) {
        seen = { thisIsWindow: this === window, source: window.event.srcElement.id,
          type: window.event.type, argumentIsEvent: argument === window.event };
      });
      button.click();
      button.remove();
      return seen;
    },
    expected: { thisIsWindow: true, source: 'probe', type: 'click', argumentIsEvent: true },
  },
  {
    name: 'fireEvent answers false once a handler set returnValue to false, true otherwise',
    run: () => {
      const link = document.createElement('a');
      link.href = '#fired';
      document.body.appendChild(link);
      const plain = link.fireEvent('onclick');
      const cancel = () => { window.event.returnValue = false; };
      link.attachEvent('onclick', cancel);
      const cancelled = link.fireEvent('onclick');
      link.detachEvent('onclick', cancel);
      link.setAttribute('onclick', 'return false');
      const inline = link.fireEvent('onclick');
      link.remove();
      return { plain, cancelled, inline };
    },
    expected: { plain: true, cancelled: false, inline: false },
  },
  {
    name: 'fireEvent bubbles a click to the document and carries an event object\'s key code',
    run: () => {
      const input = document.createElement('input');
      document.body.appendChild(input);
      const seen = [];
      const onDocument = () => seen.push('document ' + window.event.srcElement.tagName);
      document.attachEvent('onclick', onDocument);
      input.fireEvent('onclick');
      document.detachEvent('onclick', onDocument);
      input.attachEvent('onkeydown', () => seen.push('key ' + window.event.keyCode));
      const made = document.createEventObject();
      made.keyCode = 13;
      input.fireEvent('onkeydown', made);
      input.remove();
      return seen;
    },
    expected: ['document INPUT', 'key 13'],
  },
  {
    name: 'createEventObject copies an event',
    run: () => {
      let copy = null;
      const button = document.createElement('button');
      document.body.appendChild(button);
      button.attachEvent('onmousedown', () => { copy = document.createEventObject(window.event); });
      button.dispatchEvent(new MouseEvent('mousedown', { clientX: 7, clientY: 9, shiftKey: true }));
      button.remove();
      return { type: copy.type, x: copy.clientX, y: copy.clientY, shift: copy.shiftKey };
    },
    expected: { type: 'mousedown', x: 7, y: 9, shift: true },
  },
  {
    name: 'the window\'s own events through window.attachEvent',
    run: () => {
      const seen = [];
      const handler = () => seen.push(window.event.type);
      window.attachEvent('onresize', handler);
      window.dispatchEvent(new Event('resize'));
      window.detachEvent('onresize', handler);
      window.dispatchEvent(new Event('resize'));
      return seen;
    },
    expected: ['resize'],
  },
  {
    name: 'the engine\'s own old-style members stay as they were',
    run: () => ({ all: typeof document.all('eventLog'), innerText: 'innerText' in document.body,
      srcElement: 'srcElement' in Event.prototype, cancelBubble: 'cancelBubble' in Event.prototype }),
    expected: { all: 'object', innerText: true, srcElement: true, cancelBubble: true },
  },
];

test('the old event model: attachEvent in the head, window.event, fireEvent, detachEvent',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'ieevents' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    await openPage(client, `${server.origin}/sof/IE/Events`);
    await pageText(client, '#eventLog', /^load, this is window: true$/, 'the page\'s load handler');

    // A person's click runs the handler attached twice once, with the old browser's event.
    await client.clickElement('#checkButton');
    await pageText(client, '#eventLog', /click: checkButton, this is window: true$/,
      'the handler of the click');
    await client.clickElement('#fireButton');
    await pageText(client, '#eventLog', /fireEvent: true$/, 'the fired click');
    assert.deepEqual((await client.page.innerText('#eventLog')).split('\n'), [
      'load, this is window: true',
      'click: checkButton, this is window: true',
      'click: checkButton, this is window: true',
      'fireEvent: true',
    ]);
    // The link's handler cancels the click that fireEvent fires: the page stays.
    await client.clickElement('#blockBox');
    await client.clickElement('#fireLinkButton');
    await pageText(client, '#eventLog', /link blocked\nfireEvent link: false$/,
      'the blocked link');
    await client.clickElement('#detachButton');
    await client.clickElement('#checkButton');
    await client.clickElement('#fireButton');
    await pageText(client, '#eventLog', /detached\nfireEvent: true$/,
      'a click with the handler detached');
    screenshot('ie-events');

    await checkCases(client, eventCases);
  }));

const requestCases = [
  {
    name: 'a synchronous request: status, text and headers',
    run: () => {
      const request = new ActiveXObject('Microsoft.XMLHTTP');
      request.open('GET', '/sof/IE/Question?n=2', false);
      request.send(null);
      return { state: request.readyState, status: request.status, text: request.responseText.split('\n')[0],
        type: request.getResponseHeader('Content-Type'),
        all: /content-type: text\/plain/i.test(request.getAllResponseHeaders()) };
    },
    expected: { state: 4, status: 200, text: 'Choose the past tense of "go".',
      type: 'text/plain; charset=utf-8', all: true },
  },
  {
    name: 'an asynchronous request calls its handler with no argument, this being the request',
    run: () => new Promise((resolve) => {
      const request = new ActiveXObject('Msxml2.XMLHTTP.6.0');
      const calls = [];
      request.onreadystatechange = function () {
        calls.push({ state: request.readyState, args: arguments.length, self: this === request });
        if (request.readyState === 4)
          resolve({ last: calls[calls.length - 1], verdict: request.responseXML.selectSingleNode('/result/verdict').text,
            states: calls.map((call) => call.state).filter((state, i, all) => all.indexOf(state) === i) });
      };
      request.open('GET', '/sof/IE/Answer?n=1&choice=B', true);
      request.send();
    }),
    expected: { last: { state: 4, args: 0, self: true }, verdict: '正确', states: [1, 2, 3, 4] },
  },
  {
    name: 'a missing address is a 404 status, not an error',
    run: () => {
      const request = new ActiveXObject('msxml2.xmlhttp');
      request.open('GET', '/sof/IE/Answer?n=99', false);
      request.send();
      return { status: request.status, statusText: request.statusText,
        error: request.responseXML.selectSingleNode('error').text };
    },
    expected: { status: 404, statusText: 'Not Found', error: 'no such question' },
  },
  {
    name: 'a plain-text answer has an empty document for its XML',
    run: () => {
      const request = new ActiveXObject('Msxml2.XMLHTTP.3.0');
      request.open('GET', '/sof/IE/Question?n=1', false);
      request.send();
      return { root: request.responseXML.documentElement, error: request.responseXML.parseError.errorCode };
    },
    expected: { root: null, error: 0 },
  },
];

const documentCases = [
  {
    name: 'loadXML of malformed text fails and says where',
    run: () => {
      const doc = new ActiveXObject('Microsoft.XMLDOM');
      const loaded = doc.loadXML('<result>\n<score>10</verdict></result>');
      const { errorCode, line, linepos, reason } = doc.parseError;
      return { loaded, failed: errorCode !== 0, line, columnGiven: linepos > 0,
        reasonGiven: reason.length > 0, root: doc.documentElement };
    },
    expected: { loaded: false, failed: true, line: 2, columnGiven: true, reasonGiven: true, root: null },
  },
  {
    name: 'loadXML of well-formed text, then of malformed text, leaves the document empty',
    run: () => {
      const doc = new ActiveXObject('Msxml2.DOMDocument.6.0');
      const first = [doc.loadXML('<a><b>1</b></a>'), doc.parseError.errorCode, doc.documentElement.tagName];
      const second = [doc.loadXML(''), doc.parseError.errorCode !== 0, doc.documentElement];
      return { first, second };
    },
    expected: { first: [true, 0, 'a'], second: [false, true, null] },
  },
  {
    name: 'selectNodes counts and indexes; selectSingleNode and text read values',
    run: () => {
      const doc = new ActiveXObject('MSXML2.DOMDocument');
      doc.async = false;
      const loaded = doc.load('/sof/IE/Words.xml');
      const all = doc.selectNodes('//word');
      const levelOne = doc.documentElement.selectNodes('word[@level="1"]');
      return { loaded, count: all.length, first: all.item(0).text, second: all[1].text,
        outside: all.item(9), levelOne: levelOne.length,
        single: doc.selectSingleNode('/words/word[3]').text, none: doc.selectSingleNode('//nothing'),
        text: doc.text, tags: doc.getElementsByTagName('word').length };
    },
    expected: { loaded: true, count: 5, first: 'glad', second: 'went', outside: null, levelOne: 3,
      single: 'library', none: null, text: 'gladwentlibraryborrowreturn', tags: 5 },
  },
  {
    name: 'an asynchronous load reaches ready state 4 through its handler',
    run: () => new Promise((resolve) => {
      const doc = new ActiveXObject('Msxml2.FreeThreadedDOMDocument');
      const async = doc.async;
      doc.onreadystatechange = () => {
        if (doc.readyState === 4)
          resolve({ async, started, count: doc.selectNodes('//word').length, error: doc.parseError.errorCode });
      };
      const started = doc.load('/sof/IE/Words.xml');
    }),
    expected: { async: true, started: true, count: 5, error: 0 },
  },
  {
    name: 'a load of a missing address fails',
    run: () => {
      const doc = new ActiveXObject('Microsoft.XMLDOM');
      doc.async = false;
      return { loaded: doc.load('/sof/IE/NoSuchFile.xml'), failed: doc.parseError.errorCode !== 0 };
    },
    expected: { loaded: false, failed: true },
  },
  {
    name: '.xml serialises what the DOM built, and loads back the same',
    run: () => {
      const doc = new ActiveXObject('Microsoft.XMLDOM');
      doc.loadXML('<answers/>');
      const answer = doc.createElement('answer');
      answer.setAttribute('n', '1');
      answer.appendChild(doc.createTextNode('B & C'));
      doc.documentElement.appendChild(answer);
      const again = new ActiveXObject('Microsoft.XMLDOM');
      again.loadXML(doc.xml);
      return { xml: doc.xml, node: answer.xml, same: again.xml === doc.xml,
        text: again.selectSingleNode('//answer').text };
    },
    expected: { xml: '<answers><answer n="1">B &amp; C</answer></answers>',
      node: '<answer n="1">B &amp; C</answer>', same: true, text: 'B & C' },
  },
  {
    name: 'the page\'s own HTML nodes keep their members and their own properties',
    run: () => {
      const div = document.createElement('div');
      const before = [div.xml, div.text, div.selectNodes];
      div.text = 'kept';
      const option = document.createElement('option');
      option.text = 'option text';
      return { before, own: div.text, option: option.text };
    },
    expected: { before: [undefined, undefined, undefined], own: 'kept', option: 'option text' },
  },
];

const classCases = [
  {
    name: 'ActiveXObject is a constructor the pages can test for',
    run: () => ({ type: typeof ActiveXObject, present: !!window.ActiveXObject,
      request: typeof new ActiveXObject('MICROSOFT.XMLHTTP').open,
      doc: typeof new ActiveXObject('msxml2.domdocument.3.0').loadXML }),
    expected: { type: 'function', present: true, request: 'function', doc: 'function' },
  },
  {
    name: 'a class the client cannot create throws the old browser\'s error',
    run: () => {
      try {
        new ActiveXObject('Scripting.FileSystemObject');
        return 'created';
      } catch (e) {
        return { message: e.message, number: e.number, error: e instanceof Error };
      }
    },
    expected: { message: "Automation server can't create object", number: -2146827859, error: true },
  },
];

test('the quiz talks to the server through Microsoft.XMLHTTP; the XML objects\' edge cases',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'iexml' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    await openPage(client, `${server.origin}/sof/IE/Quiz`);
    // The first question arrived synchronously while the page loaded.
    await pageText(client, '#questionText', /^1\. Which word means "happy"\?$/, 'the first question');
    await client.clickElement('#choice2');
    await client.clickElement('#submitButton');
    await pageText(client, '#quizState', /^正确 \(B\)$/, 'the verdict on the first answer');
    assert.equal(await client.page.textContent('#scoreText'), '10');
    await client.clickElement('#nextButton');
    await pageText(client, '#questionText', /^2\. Choose the past tense/, 'the second question');
    await client.clickElement('#choice1');
    await client.clickElement('#submitButton');
    await pageText(client, '#quizState', /^错误 \(C\)$/, 'the verdict on the second answer');
    assert.equal(await client.page.textContent('#scoreText'), '10');
    screenshot('ie-quiz');

    await checkCases(client, [...requestCases, ...documentCases, ...classCases]);
  }));

test('a class the client cannot create is named in the log', { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'ierefused' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    await openPage(client, `${server.origin}/sof/IE/Quiz`);
    const since = client.mark();
    await client.page.evaluate(() => {
      try {
        new ActiveXObject('WMPlayer.OCX.7');
      } catch (e) {
        // The page goes on without it.
      }
    });
    await client.waitForLog(/WMPlayer\.OCX\.7/, { since });
  }));

const smallCallCases = [
  {
    name: 'document.frames by number and name, callable and indexable',
    run: () => ({ length: document.frames.length, first: document.frames(0) === window.frames[0],
      byName: document.frames('tips') === window.frames[1], indexed: document.frames[1] === window.frames[1],
      property: document.frames.notes === window.frames[0], named: document.frames('tips').document.title,
      missing: document.frames('nothing') === undefined }),
    expected: { length: 2, first: true, byName: true, indexed: true, property: true,
      named: '框架 Frame tips', missing: true },
  },
  {
    name: 'createElement in the old tag syntax takes the attributes; plain names still work',
    run: () => {
      const radio = document.createElement('<input name="word" type="radio" checked>');
      const quoted = document.createElement("<INPUT type='text' value='a b' name=answer>");
      const div = document.createElement('div');
      const closed = document.createElement('<img src="/x.png" />');
      return { radio: [radio.tagName, radio.name, radio.type, radio.checked],
        quoted: [quoted.type, quoted.value, quoted.name], div: div.tagName,
        closed: [closed.tagName, closed.getAttribute('src')] };
    },
    expected: { radio: ['INPUT', 'word', 'radio', true], quoted: ['text', 'a b', 'answer'], div: 'DIV',
      closed: ['IMG', '/x.png'] },
  },
  {
    name: 'the languages are Chinese',
    run: () => [navigator.userLanguage, navigator.browserLanguage, navigator.systemLanguage],
    expected: ['zh-cn', 'zh-cn', 'zh-cn'],
  },
  {
    name: 'currentStyle is the computed style',
    run: () => [document.all('factBox').currentStyle.backgroundColor,
      document.createElement('b').currentStyle.display],
    expected: ['rgb(255, 248, 225)', ''],
  },
  {
    name: 'document.parentWindow, uniqueID, sourceIndex, removeNode',
    run: () => {
      const outer = document.createElement('div');
      outer.innerHTML = '<span>one</span><span>two</span>';
      document.body.appendChild(outer);
      const first = outer.firstChild;
      const second = outer.lastChild;
      const ids = [first.uniqueID === first.uniqueID, first.uniqueID !== outer.uniqueID];
      const index = first.sourceIndex === outer.sourceIndex + 1;
      outer.removeNode(false);
      const kept = first.parentNode === document.body;
      first.removeNode(true);
      second.removeNode(true);
      return { window: document.parentWindow === window, ids, index, kept,
        gone: !first.parentNode && !second.parentNode };
    },
    expected: { window: true, ids: [true, true], index: true, kept: true, gone: true },
  },
  {
    name: 'document.selection reads and empties the selection',
    run: () => {
      // The client keeps text from being selected except where a page allows it.
      const span = document.createElement('span');
      span.style.userSelect = 'text';
      span.textContent = 'selected words';
      document.body.appendChild(span);
      const range = document.createRange();
      range.selectNodeContents(span);
      window.getSelection().removeAllRanges();
      window.getSelection().addRange(range);
      const before = [document.selection.type, document.selection.createRange().text,
        document.selection.createRange().parentElement() === span];
      document.selection.empty();
      const after = [document.selection.type, document.selection.createRange().text];
      span.remove();
      return { before, after };
    },
    expected: { before: ['Text', 'selected words', true], after: ['None', ''] },
  },
  {
    name: 'AddFavorite does nothing, quietly; window.external keeps what it had',
    run: () => ({ added: window.external.AddFavorite(location.href, 'x'),
      other: typeof window.external.IsSearchProviderInstalled, help: window.showHelp('x') }),
    expected: { added: undefined, other: 'function', help: undefined },
  },
  {
    name: 'while captured, mouse events elsewhere go to the element',
    run: () => {
      const target = document.createElement('div');
      target.id = 'captor';
      document.body.appendChild(target);
      const seen = [];
      target.attachEvent('onmousemove', () => seen.push('target ' + window.event.clientX));
      document.body.attachEvent('onmousemove', () => seen.push('body ' + window.event.srcElement.id));
      target.setCapture();
      document.all('factBox').dispatchEvent(new MouseEvent('mousemove', { bubbles: true, clientX: 5 }));
      target.releaseCapture();
      document.all('factBox').dispatchEvent(new MouseEvent('mousemove', { bubbles: true, clientX: 6 }));
      target.remove();
      return seen;
    },
    expected: ['target 5', 'body captor', 'body factBox'],
  },
];

test('the old browser\'s smaller calls; navigate() leaves the page', { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'iesmall' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const address = `${server.origin}/sof/IE/SmallCalls`;
    await openPage(client, address);
    await pageText(client, '#frameText', /^2 框架 Frame notes$/, 'the page\'s own use of the frames');
    assert.equal(await client.page.textContent('#languageText'), 'zh-cn');
    await client.clickElement('#choicesButton');
    assert.deepEqual(await client.page.evaluate(() =>
      [...document.getElementsByName('word')].map((radio) => [radio.value, radio.checked])),
    [['glad', true], ['went', false]]);
    screenshot('ie-small-calls');

    // A drag that starts on the slider and ends on a button: the slider still hears the release.
    dragMouse(await client.elementCentreOnScreen('#slider'),
      await client.elementCentreOnScreen('#favouriteButton'));
    await pageText(client, '#dragText', /^拖动结束 Drag ended outside$/, 'the slider\'s release');

    await checkCases(client, smallCallCases);

    const since = client.mark();
    await client.clickElement('#navigateButton');
    await client.waitForPage(`${server.origin}/sof/IE/Index`, { since });
  }));

test('the clipboard through the client', { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'ieclipboard' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    await openPage(client, `${server.origin}/sof/IE/SmallCalls`);
    await client.clickElement('#copyButton');
    await pageText(client, '#copyText', /^已复制 Copied$/, 'the page\'s copy');
    assert.equal(await client.page.evaluate(() => window.clipboardData.getData('Text')), 'glad');
    assert.deepEqual(await client.page.evaluate(() => [window.clipboardData.setData('Text', '中文 text'),
      window.clipboardData.getData('text'), window.clipboardData.getData('URL')]), [true, '中文 text', null]);
  }));

// What the layer adds, seen from a document.
function layerSeen(frame) {
  return frame.evaluate(() => ({ attachEvent: typeof attachEvent, activeX: window.ActiveXObject,
    fireEvent: typeof document.fireEvent, frames: typeof document.frames,
    userLanguage: navigator.userLanguage, clipboardData: typeof window.clipboardData }));
}
const Nothing = { attachEvent: 'undefined', activeX: undefined, fireEvent: 'undefined',
  frames: 'undefined', userLanguage: undefined, clipboardData: 'undefined' };

test('other sites\' pages and frames get none of it', { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'ieother' }, async ({ server, client }) => {
    await client.logIn(server.origin);
    const other = `http://localhost:${new URL(server.origin).port}`;
    await openPage(client, `${other}/sof/IE/Events`);
    assert.deepEqual(await layerSeen(client.page.mainFrame()), Nothing);
    // The page's own script stopped at its first old call: nothing attached, nothing noted.
    assert.equal(await client.page.textContent('#eventLog'), '');

    // The platform's page has the layer; the other origin's frame in it does not.
    await openPage(client, `${server.origin}/sof/Flash/OtherFrame`);
    const frames = client.page.frames();
    const child = frames.find((frame) => frame.url().startsWith(other));
    assert.ok(child, 'the other origin\'s frame');
    assert.equal((await layerSeen(client.page.mainFrame())).attachEvent, 'function');
    assert.deepEqual(await layerSeen(child), Nothing);
  }));
