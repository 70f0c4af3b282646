// Text that names no character set was GBK on the Chinese systems the platform was written
// for. The engine guesses instead, and a page with little Chinese in it (a title of two words)
// comes out as Western text (windows-1252). That decoding keeps every byte, one character each,
// so the bytes are taken back and read as GBK: the title, text and attribute values, as the
// parser adds them and as scripts add them later, and forms send GBK as they did. A page that
// names its character set, in its header or a meta element, keeps it.
(function (ie) {
  if (document.characterSet !== 'windows-1252' || typeof TextDecoder !== 'function') return;
  var Request = XMLHttpRequest;
  var gbk = new TextDecoder('gbk');
  // Characters windows-1252 gives bytes 0x80-0x9F; every other byte is its own code.
  var western = {
    0x20AC: 0x80, 0x201A: 0x82, 0x0192: 0x83, 0x201E: 0x84, 0x2026: 0x85, 0x2020: 0x86,
    0x2021: 0x87, 0x02C6: 0x88, 0x2030: 0x89, 0x0160: 0x8A, 0x2039: 0x8B, 0x0152: 0x8C,
    0x017D: 0x8E, 0x2018: 0x91, 0x2019: 0x92, 0x201C: 0x93, 0x201D: 0x94, 0x2022: 0x95,
    0x2013: 0x96, 0x2014: 0x97, 0x02DC: 0x98, 0x2122: 0x99, 0x0161: 0x9A, 0x203A: 0x9B,
    0x0153: 0x9C, 0x017E: 0x9E, 0x0178: 0x9F
  };
  var nonAscii = /[^\x00-\x7f]/;

  function declaredInHeader() {
    var request = new Request();
    try {
      request.open('HEAD', location.href, false);
      request.send();
      return /;\s*charset\s*=/i.test(request.getResponseHeader('Content-Type') || '');
    } catch (e) {
      return false;
    }
  }
  if (location.protocol !== 'http:' && location.protocol !== 'https:') return;
  if (declaredInHeader()) return;

  function reread(text) {
    if (!text || !nonAscii.test(text)) return text;
    var bytes = new Uint8Array(text.length);
    for (var i = 0; i < text.length; i++) {
      var code = text.charCodeAt(i);
      var byte = code < 0x100 ? code : western[code];
      // A character no Western byte gives came from elsewhere (a character reference):
      // the text is left as it is.
      if (byte === undefined) return text;
      bytes[i] = byte;
    }
    return gbk.decode(bytes);
  }

  var declared = false;
  function declaresCharset(meta) {
    return meta.hasAttribute('charset') ||
      (/^content-type$/i.test(meta.getAttribute('http-equiv') || '') &&
       /charset\s*=/i.test(meta.getAttribute('content') || ''));
  }
  function rereadElement(element) {
    if (element.localName === 'meta' && declaresCharset(element)) declared = true;
    for (var i = 0; i < element.attributes.length; i++) {
      var attribute = element.attributes[i];
      var text = reread(attribute.value);
      if (text !== attribute.value) attribute.value = text;
    }
    if (element.localName === 'form' && !element.hasAttribute('accept-charset'))
      element.setAttribute('accept-charset', 'GBK');
  }
  function rereadTree(node) {
    if (declared) return;
    if (node.nodeType === 3) {
      var text = reread(node.data);
      if (text !== node.data) node.data = text;
      return;
    }
    if (node.nodeType !== 1 && node.nodeType !== 9 && node.nodeType !== 11) return;
    if (node.nodeType === 1) rereadElement(node);
    for (var child = node.firstChild; child; child = child.nextSibling) rereadTree(child);
  }

  var observer = new MutationObserver(function (records) {
    for (var i = 0; i < records.length && !declared; i++) {
      var record = records[i];
      if (record.type === 'childList') {
        for (var j = 0; j < record.addedNodes.length; j++) rereadTree(record.addedNodes[j]);
      } else if (record.type === 'characterData') {
        rereadTree(record.target);
      } else if (record.type === 'attributes' && record.target.nodeType === 1) {
        rereadElement(record.target);
      }
    }
    if (declared) observer.disconnect();
  });
  rereadTree(document);
  observer.observe(document, { childList: true, subtree: true, characterData: true,
                               attributes: true });
})(ie);
