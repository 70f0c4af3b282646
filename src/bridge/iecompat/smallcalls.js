// The old browser's smaller calls that the platform's pages of that time used.
(function (ie) {
  var define = Object.defineProperty;
  var NativeRequest = XMLHttpRequest;
  var NativeProxy = Proxy;
  var NativeWeakMap = WeakMap;
  var NativeMouseEvent = MouseEvent;
  var reflectGet = Reflect.get;
  var globalEval = window.eval;
  var createElement = Document.prototype.createElement;
  var querySelectorAll = Document.prototype.querySelectorAll;
  var setAttribute = Element.prototype.setAttribute;
  var computedStyle = window.getComputedStyle;
  var getSelection = window.getSelection;
  var addListener = EventTarget.prototype.addEventListener;
  var removeListener = EventTarget.prototype.removeEventListener;
  var dispatch = EventTarget.prototype.dispatchEvent;
  var contains = Node.prototype.contains;
  var NativeNode = Node;

  function method(target, name, fn) {
    define(target, name, { configurable: true, writable: true, value: fn });
  }
  function getter(target, name, get) {
    define(target, name, { configurable: true, get: get });
  }

  method(window, 'navigate', function (url) {
    window.location.href = String(url);
  });
  method(window, 'showHelp', function () {});
  // The old browser ran script text given to it in the global scope.
  method(window, 'execScript', function (code, language) {
    if (language && !/^j(ava)?script$/i.test(String(language)))
      throw new Error('Could not complete the operation due to error 80020101.');
    globalEval(String(code));
  });

  // --- document.frames: the window's frames, callable by number or name --------------------

  function frameByName(doc, name) {
    var elements = querySelectorAll.call(doc, 'iframe, frame');
    for (var i = 0; i < elements.length; i++)
      if (elements[i].name === name || elements[i].id === name) return elements[i].contentWindow;
    return undefined;
  }

  function frameOf(doc, key) {
    var frames = doc.defaultView ? doc.defaultView.frames : null;
    if (!frames) return undefined;
    if (typeof key === 'number' || /^\d+$/.test(String(key))) return frames[Number(key)];
    return frameByName(doc, String(key));
  }

  var framesOfDocument = new NativeWeakMap();
  function framesFor(doc) {
    return new NativeProxy(function frames() {}, {
      apply: function (target, self, args) {
        return frameOf(doc, args[0]);
      },
      get: function (target, key, receiver) {
        if (key === 'length') return doc.defaultView ? doc.defaultView.frames.length : 0;
        if (typeof key === 'string' && !(key in Function.prototype)) {
          var frame = frameOf(doc, key);
          if (frame !== undefined) return frame;
        }
        return reflectGet(target, key, receiver);
      },
    });
  }
  getter(Document.prototype, 'frames', function () {
    if (!framesOfDocument.has(this)) framesOfDocument.set(this, framesFor(this));
    return framesOfDocument.get(this);
  });

  getter(Document.prototype, 'parentWindow', function () {
    return this.defaultView;
  });

  // --- elements ----------------------------------------------------------------------------

  getter(Element.prototype, 'currentStyle', function () {
    return computedStyle.call(window, this);
  });

  var uniqueIds = new NativeWeakMap();
  var nextUniqueId = 1;
  getter(Element.prototype, 'uniqueID', function () {
    if (!uniqueIds.has(this)) uniqueIds.set(this, 'ms__id' + nextUniqueId++);
    return uniqueIds.get(this);
  });

  getter(Element.prototype, 'sourceIndex', function () {
    var doc = this.ownerDocument;
    return doc ? Array.prototype.indexOf.call(doc.getElementsByTagName('*'), this) : -1;
  });

  method(Element.prototype, 'removeNode', function (deep) {
    var parent = this.parentNode;
    if (!parent) return this;
    if (!deep)
      while (this.firstChild) parent.insertBefore(this.firstChild, this);
    parent.removeChild(this);
    return this;
  });

  // The old tag syntax: createElement('<input name="x" type="radio" checked>').
  var tagPattern = /^<\s*([A-Za-z][\w:-]*)([^>]*?)\/?\s*>$/;
  var attributePattern = /([^\s=\/>"']+)(?:\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>"']+)))?/g;
  method(Document.prototype, 'createElement', function (name) {
    // Plain names pay one look at their first character.
    var tag = typeof name === 'string' && /^\s*</.test(name) ? tagPattern.exec(name.trim()) : null;
    if (!tag) return createElement.apply(this, arguments);
    var element = createElement.call(this, tag[1]);
    var attribute;
    attributePattern.lastIndex = 0;
    while ((attribute = attributePattern.exec(tag[2]))) {
      var value = attribute[2] !== undefined ? attribute[2]
                : attribute[3] !== undefined ? attribute[3]
                : attribute[4] !== undefined ? attribute[4] : '';
      setAttribute.call(element, attribute[1], value);
    }
    return element;
  });

  // --- capture: mouse events outside the element go to it ----------------------------------

  var captured = null;
  var mouseTypes = ['mousedown', 'mouseup', 'mousemove', 'click', 'dblclick', 'mouseover', 'mouseout',
    'contextmenu'];
  var redirected = new NativeWeakMap();
  // The mouse's pointer, which the engine numbers 1.
  var MousePointer = 1;

  function redirect(event) {
    var target = event.target;
    if (!captured || redirected.has(event) || !(target instanceof NativeNode) ||
        contains.call(captured, target))
      return;
    event.stopPropagation();
    event.preventDefault();
    var copy = new NativeMouseEvent(event.type, event);
    redirected.set(copy, true);
    dispatch.call(captured, copy);
  }

  function releaseCapture() {
    if (!captured) return;
    try {
      captured.releasePointerCapture(MousePointer);
    } catch (e) {
      // Not held: the button was not down.
    }
    for (var i = 0; i < mouseTypes.length; i++)
      removeListener.call(window, mouseTypes[i], redirect, true);
    captured = null;
  }

  method(Element.prototype, 'setCapture', function () {
    releaseCapture();
    captured = this;
    try {
      // While the button is down the engine's own pointer capture does it.
      this.setPointerCapture(MousePointer);
    } catch (e) {
      // The button is up: the listeners below do it.
    }
    for (var i = 0; i < mouseTypes.length; i++)
      addListener.call(window, mouseTypes[i], redirect, true);
  });
  method(Element.prototype, 'releaseCapture', releaseCapture);
  method(Document.prototype, 'releaseCapture', releaseCapture);

  // --- document.selection ------------------------------------------------------------------

  function TextRange(selection) {
    this.text = selection ? selection.toString() : '';
    this.htmlText = this.text;
    var range = selection && selection.rangeCount ? selection.getRangeAt(0) : null;
    define(this, 'range', { value: range });
  }
  TextRange.prototype.parentElement = function () {
    var node = this.range ? this.range.commonAncestorContainer : document.body;
    return node && node.nodeType !== 1 ? node.parentNode : node;
  };
  TextRange.prototype.select = function () {};
  TextRange.prototype.collapse = function () {};

  var selection = {
    empty: function () {
      getSelection.call(window).removeAllRanges();
    },
    clear: function () {
      getSelection.call(window).deleteFromDocument();
    },
    createRange: function () {
      return new TextRange(getSelection.call(window));
    },
  };
  getter(selection, 'type', function () {
    var current = getSelection.call(window);
    return current && current.rangeCount && !current.isCollapsed ? 'Text' : 'None';
  });
  getter(Document.prototype, 'selection', function () {
    return selection;
  });

  // --- window.external, clipboardData, navigator --------------------------------------------

  if (window.external && typeof window.external === 'object')
    method(window.external, 'AddFavorite', function () {});

  // The clipboard through the client: the old call was synchronous, so is this.
  function askClipboard(query) {
    var request = new NativeRequest();
    request.open('GET', ie.channel + 'clipboard' + query, false);
    request.send();
    if (request.status !== 200) throw new Error('clipboard ' + request.status);
    return request.responseText;
  }
  function isText(format) {
    return /^text$/i.test(String(format));
  }
  method(window, 'clipboardData', {
    getData: function (format) {
      if (!isText(format)) return null;
      try {
        return askClipboard('');
      } catch (e) {
        return '';
      }
    },
    setData: function (format, value) {
      if (!isText(format)) return false;
      try {
        askClipboard('?set=' + encodeURIComponent(String(value)));
        return true;
      } catch (e) {
        return false;
      }
    },
    clearData: function () {
      return this.setData('Text', '');
    },
  });

  ['userLanguage', 'browserLanguage', 'systemLanguage'].forEach(function (name) {
    getter(Navigator.prototype, name, function () {
      return 'zh-cn';
    });
  });
})(ie);
