// ActiveXObject for the two classes the platform's pages create: the XML request and the XML
// document. Any other class fails as it did in the old browser, and the client hears of it.
(function (ie) {
  var define = Object.defineProperty;
  var NativeRequest = XMLHttpRequest;
  var NativeParser = DOMParser;
  var NativeSerializer = XMLSerializer;
  var NativeXmlDocument = XMLDocument;
  var NativeError = Error;
  var implementation = document.implementation;
  var createDocument = DOMImplementation.prototype.createDocument;
  var evaluate = Document.prototype.evaluate;
  var resolveUrl = function (url) {
    return new URL(String(url), document.baseURI).href;
  };

  var requestClasses = /^(microsoft\.xmlhttp|msxml2\.xmlhttp(\.[3-6]\.0)?)$/;
  var documentClasses =
    /^(microsoft\.(xmldom|freethreadedxmldom)|msxml\.domdocument|msxml2\.(freethreaded)?domdocument(\.[3-6]\.0)?)$/;

  // --- the XML document -------------------------------------------------------------------

  // The old parser's error for text that is not well-formed XML; it had many codes, pages
  // only test for one that is not zero.
  var MalformedCode = -1072896659;
  var LoadFailedCode = -2146697210;

  function ParseError(code, reason, line, linepos, url) {
    this.errorCode = code;
    this.reason = reason;
    this.line = line;
    this.linepos = linepos;
    this.url = url || '';
    this.srcText = '';
    this.filepos = 0;
  }
  var noError = new ParseError(0, '', 0, 0, '');

  function isXmlNode(node) {
    var doc = node && (node.nodeType === 9 ? node : node.ownerDocument);
    return doc instanceof NativeXmlDocument;
  }

  function parsed(text) {
    var doc = new NativeParser().parseFromString(String(text), 'text/xml');
    var failure = doc.getElementsByTagNameNS('http://www.w3.org/1999/xhtml', 'parsererror')[0] ||
                  doc.getElementsByTagName('parsererror')[0];
    if (!failure) return { doc: doc, error: noError };
    var message = failure.textContent || '';
    var where = /line (\d+) at column (\d+):\s*([^\n]*)/.exec(message);
    return {
      doc: null,
      error: where ? new ParseError(MalformedCode, where[3], Number(where[1]), Number(where[2]))
                   : new ParseError(MalformedCode, message, 0, 0),
    };
  }

  function replaceContent(target, source) {
    while (target.firstChild) target.removeChild(target.firstChild);
    if (!source) return;
    for (var node = source.firstChild; node; node = node.nextSibling)
      target.appendChild(target.importNode(node, true));
  }

  function finish(doc, error) {
    doc.parseError = error;
    doc.readyState = 4;
    if (typeof doc.onreadystatechange === 'function') doc.onreadystatechange.call(doc);
    return error.errorCode === 0;
  }

  function loadText(doc, text) {
    var result = parsed(text);
    replaceContent(doc, result.doc);
    return finish(doc, result.error);
  }

  function loadResponse(doc, request, url) {
    if (request.status >= 200 && request.status < 300) return loadText(doc, request.responseText);
    replaceContent(doc, null);
    return finish(doc, new ParseError(LoadFailedCode,
      'The system cannot locate the object specified (' + request.status + ').', 0, 0, url));
  }

  var documentMembers = {
    loadXML: function (text) {
      return loadText(this, text);
    },
    load: function (url) {
      var doc = this;
      var address = resolveUrl(url);
      var request = new NativeRequest();
      var async = doc.async !== false;
      doc.readyState = 1;
      doc.url = address;
      try {
        request.open('GET', address, async);
        if (!async) {
          request.send();
          return loadResponse(doc, request, address);
        }
        request.onloadend = function () {
          loadResponse(doc, request, address);
        };
        request.send();
        return true;
      } catch (e) {
        replaceContent(doc, null);
        return finish(doc, new ParseError(LoadFailedCode, String(e && e.message), 0, 0, address));
      }
    },
    setProperty: function (name, value) {
      this.properties[String(name)] = value;
    },
    getProperty: function (name) {
      return this.properties[String(name)];
    },
    abort: function () {},
    save: function () {},
  };

  function xmlDocument() {
    var doc = createDocument.call(implementation, null, null, null);
    for (var name in documentMembers)
      define(doc, name, { configurable: true, writable: true, value: documentMembers[name] });
    var values = {
      async: true, validateOnParse: true, resolveExternals: false, preserveWhiteSpace: false,
      readyState: 4, parseError: noError, url: '', onreadystatechange: null,
      properties: { SelectionLanguage: 'XPath' },
    };
    for (var key in values)
      define(doc, key, { configurable: true, writable: true, value: values[key] });
    return doc;
  }

  // Selection through the document's namespaces as "SelectionNamespaces" gives them
  // ("xmlns:a='uri' xmlns:b='uri'").
  function resolverFor(doc) {
    var declared = (doc.properties && doc.properties.SelectionNamespaces) || '';
    var prefixes = {};
    var declaration = /xmlns:([\w.-]+)\s*=\s*(['"])(.*?)\2/g;
    var match;
    while ((match = declaration.exec(declared))) prefixes[match[1]] = match[3];
    return function (prefix) {
      return prefixes[prefix] || doc.lookupNamespaceURI(prefix);
    };
  }

  function select(node, expression, type) {
    var doc = node.nodeType === 9 ? node : node.ownerDocument;
    return evaluate.call(doc, String(expression), node, resolverFor(doc), type, null);
  }

  function NodeList(nodes) {
    for (var i = 0; i < nodes.length; i++) this[i] = nodes[i];
    define(this, 'length', { value: nodes.length });
    define(this, 'position', { writable: true, value: 0 });
  }
  NodeList.prototype.item = function (index) {
    return index >= 0 && index < this.length ? this[index] : null;
  };
  NodeList.prototype.nextNode = function () {
    return this.position < this.length ? this[this.position++] : null;
  };
  NodeList.prototype.reset = function () {
    this.position = 0;
  };

  var nodeMembers = {
    selectNodes: {
      value: function (expression) {
        var result = select(this, expression, XPathResult.ORDERED_NODE_SNAPSHOT_TYPE);
        var nodes = [];
        for (var i = 0; i < result.snapshotLength; i++) nodes.push(result.snapshotItem(i));
        return new NodeList(nodes);
      },
    },
    selectSingleNode: {
      value: function (expression) {
        return select(this, expression, XPathResult.FIRST_ORDERED_NODE_TYPE).singleNodeValue;
      },
    },
    xml: {
      get: function () {
        return new NativeSerializer().serializeToString(this);
      },
    },
    text: {
      get: function () {
        var node = this.nodeType === 9 ? this.documentElement : this;
        return node ? node.textContent.trim() : '';
      },
      set: function (value) {
        var node = this.nodeType === 9 ? this.documentElement : this;
        if (node) node.textContent = value;
      },
    },
  };

  // The old XML nodes' members, on the nodes of XML documents only: the page's own HTML nodes
  // keep what the engine gives them, and a page's own property of the same name stays its own.
  function xmlMember(name, member) {
    define(Node.prototype, name, {
      configurable: true,
      get: function () {
        if (!isXmlNode(this)) return undefined;
        return member.get ? member.get.call(this) : member.value;
      },
      set: function (value) {
        if (isXmlNode(this) && member.set) member.set.call(this, value);
        else define(this, name, { configurable: true, enumerable: true, writable: true, value: value });
      },
    });
  }
  for (var memberName in nodeMembers) xmlMember(memberName, nodeMembers[memberName]);

  // --- the XML request --------------------------------------------------------------------

  function XmlRequest() {
    var self = this;
    var request = new NativeRequest();
    define(this, 'request', { value: request });
    define(this, 'parsedResponse', { writable: true, value: null });
    this.onreadystatechange = null;
    // The old request called its handler with no argument, `this` being the request.
    request.onreadystatechange = function () {
      if (request.readyState === 1) self.parsedResponse = null;
      if (typeof self.onreadystatechange === 'function') self.onreadystatechange.call(self);
    };
  }
  XmlRequest.prototype.open = function (method, url, async, user, password) {
    var isAsync = async === undefined ? true : !!async;
    this.parsedResponse = null;
    if (user !== undefined) this.request.open(method, resolveUrl(url), isAsync, user, password);
    else this.request.open(method, resolveUrl(url), isAsync);
  };
  XmlRequest.prototype.send = function (body) {
    this.request.send(body === undefined ? null : body);
  };
  XmlRequest.prototype.abort = function () {
    this.request.abort();
  };
  XmlRequest.prototype.setRequestHeader = function (name, value) {
    this.request.setRequestHeader(name, value);
  };
  XmlRequest.prototype.getResponseHeader = function (name) {
    return this.request.getResponseHeader(name);
  };
  XmlRequest.prototype.getAllResponseHeaders = function () {
    return this.request.getAllResponseHeaders();
  };
  ['readyState', 'status', 'statusText', 'responseText'].forEach(function (name) {
    define(XmlRequest.prototype, name, {
      get: function () {
        return this.request[name];
      },
    });
  });
  // An XML document whenever the response is XML; an empty one otherwise, as before.
  define(XmlRequest.prototype, 'responseXML', {
    get: function () {
      if (this.request.readyState !== 4) return null;
      if (!this.parsedResponse) {
        var doc = xmlDocument();
        var type = this.request.getResponseHeader('Content-Type') || '';
        if (/[/+]xml\b/i.test(type)) doc.loadXML(this.request.responseText);
        this.parsedResponse = doc;
      }
      return this.parsedResponse;
    },
  });

  // --- the class factory ------------------------------------------------------------------

  function tellRefused(progId) {
    try {
      var request = new NativeRequest();
      request.open('GET', ie.channel + 'refused-class?progid=' + encodeURIComponent(progId), true);
      request.onerror = function () {};
      request.send();
    } catch (e) {
      // The note to the client is a courtesy; the page gets its error either way.
    }
  }

  function ActiveXObject(progId) {
    var name = String(progId);
    var key = name.trim().toLowerCase();
    if (requestClasses.test(key)) return new XmlRequest();
    if (documentClasses.test(key)) return xmlDocument();
    tellRefused(name);
    var error = new NativeError("Automation server can't create object");
    error.number = -2146827859;
    error.description = error.message;
    throw error;
  }

  define(window, 'ActiveXObject', { configurable: true, writable: true, value: ActiveXObject });
})(ie);
