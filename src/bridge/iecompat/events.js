// The old browser's event model beside the engine's: attachEvent/detachEvent, fireEvent and
// createEventObject. What the engine already does the old way (window.event, srcElement,
// returnValue, cancelBubble) it keeps doing.
(function (ie) {
  var define = Object.defineProperty;
  var addListener = EventTarget.prototype.addEventListener;
  var removeListener = EventTarget.prototype.removeEventListener;
  var dispatch = EventTarget.prototype.dispatchEvent;
  var defaultPrevented = Object.getOwnPropertyDescriptor(Event.prototype, 'defaultPrevented').get;
  var NativeMap = Map;
  var NativeWeakMap = WeakMap;
  var NativeEvent = Event;
  var NativeMouseEvent = MouseEvent;
  var NativeKeyboardEvent = KeyboardEvent;
  var topWindow = window;

  // target -> type -> handler -> the listener that runs it
  var attached = new NativeWeakMap();

  function eventType(onType) {
    var name = String(onType).toLowerCase();
    return name.length > 2 && name.slice(0, 2) === 'on' ? name.slice(2) : null;
  }

  function handlersOf(target, type, create) {
    var byType = attached.get(target);
    if (!byType) {
      if (!create) return null;
      byType = new NativeMap();
      attached.set(target, byType);
    }
    var handlers = byType.get(type);
    if (!handlers && create) {
      handlers = new NativeMap();
      byType.set(type, handlers);
    }
    return handlers || null;
  }

  // The old browser ran attached handlers as plain functions: `this` was the window, and a
  // handler attached twice ran once.
  function attachEventTo(target, onType, handler) {
    var type = eventType(onType);
    if (!type || typeof handler !== 'function') return false;
    var handlers = handlersOf(target, type, true);
    if (handlers.has(handler)) return true;
    var listener = function (event) {
      handler.call(topWindow, event);
    };
    handlers.set(handler, listener);
    addListener.call(target, type, listener);
    return true;
  }

  function detachEventFrom(target, onType, handler) {
    var type = eventType(onType);
    var handlers = type && handlersOf(target, type, false);
    var listener = handlers && handlers.get(handler);
    if (!listener) return;
    handlers.delete(handler);
    removeListener.call(target, type, listener);
  }

  var mouseTypes = /^(click|dblclick|mousedown|mouseup|mousemove|mouseover|mouseout|mouseenter|mouseleave|contextmenu)$/;
  var keyTypes = /^(keydown|keyup|keypress)$/;
  var quietTypes = /^(focus|blur|load|unload|mouseenter|mouseleave|resize|scroll|error|abort|change|select|submit|reset)$/;
  var initNames = ['altKey', 'ctrlKey', 'shiftKey', 'metaKey', 'button', 'clientX', 'clientY',
    'screenX', 'screenY', 'relatedTarget', 'key', 'code', 'repeat', 'location'];
  // What an event object carries into a fired event beyond the engine's initialisers.
  var ownNames = ['keyCode', 'charCode', 'which', 'x', 'y', 'offsetX', 'offsetY', 'wheelDelta',
    'fromElement', 'toElement', 'propertyName', 'qualifier', 'reason', 'dataFld'];

  function hasValue(source, name) {
    return source && source[name] !== undefined && source[name] !== null;
  }

  function firedEvent(type, source) {
    var init = { bubbles: !quietTypes.test(type), cancelable: true, view: topWindow };
    for (var i = 0; i < initNames.length; i++)
      if (hasValue(source, initNames[i])) init[initNames[i]] = source[initNames[i]];
    var event;
    if (mouseTypes.test(type)) event = new NativeMouseEvent(type, init);
    else if (keyTypes.test(type)) event = new NativeKeyboardEvent(type, init);
    else event = new NativeEvent(type, init);
    for (var j = 0; j < ownNames.length; j++)
      if (hasValue(source, ownNames[j]))
        define(event, ownNames[j], { configurable: true, enumerable: true, value: source[ownNames[j]] });
    return event;
  }

  // fireEvent answers whether the default action was left alone: false once a handler set
  // returnValue to false (or returned false from an inline handler).
  function fireEvent(onType, eventObject) {
    var type = eventType(onType);
    if (!type) throw new TypeError('Invalid argument.');
    var event = firedEvent(type, eventObject);
    dispatch.call(this, event);
    return !defaultPrevented.call(event);
  }

  function createEventObject(event) {
    var copy = { type: '', returnValue: undefined, cancelBubble: false };
    if (event) {
      var names = initNames.concat(ownNames, ['type', 'srcElement']);
      for (var i = 0; i < names.length; i++)
        if (hasValue(event, names[i])) copy[names[i]] = event[names[i]];
    }
    return copy;
  }

  function method(target, name, fn) {
    define(target, name, { configurable: true, writable: true, value: fn });
  }

  function attachEvent(onType, handler) {
    return attachEventTo(this, onType, handler);
  }
  function detachEvent(onType, handler) {
    detachEventFrom(this, onType, handler);
  }

  ie.attachEventTo = attachEventTo;
  ie.detachEventFrom = detachEventFrom;
  [Element.prototype, Document.prototype].forEach(function (proto) {
    method(proto, 'attachEvent', attachEvent);
    method(proto, 'detachEvent', detachEvent);
    method(proto, 'fireEvent', fireEvent);
  });
  method(window, 'attachEvent', attachEvent);
  method(window, 'detachEvent', detachEvent);
  method(Document.prototype, 'createEventObject', createEventObject);
})(ie);
