// The old pages' media-player objects (the player of version 7 and later, its 6.4 predecessor
// and the "application/x-mplayer2" embed) become players in place. The element stays where the
// page put it, so ids, names and forms still reach it; it is hidden and carries the old object
// model as its own properties, and a player drawn in plain HTML beside it plays the media with
// the engine's own media element. Windows Media audio, which the engine cannot decode, is
// converted by the client.
(function (ie) {
  var define = Object.defineProperty;
  var prototypeOf = Object.getPrototypeOf;
  var Observer = MutationObserver;
  var Request = XMLHttpRequest;
  var Address = URL;
  var makeObjectAddress = URL.createObjectURL;
  var revokeObjectAddress = URL.revokeObjectURL;
  var StyleSheet = CSSStyleSheet;
  var later = setTimeout;
  var styleOf = getComputedStyle;
  var encode = encodeURIComponent;
  var compile = Function;
  var reportLater = typeof reportError === 'function' ? reportError : function (error) {
    later(function () { throw error; });
  };

  var NEW_PLAYER = '6BF52A52-394A-11D3-B153-00C04F79FAA6';
  var OLD_PLAYER = '22D6F312-B0F6-11D0-94AB-0080C74C7E95';
  function byClassId(id) {
    return 'object[classid="' + id + '" i], object[classid="clsid:' + id + '" i]';
  }
  var NEW_OBJECT = byClassId(NEW_PLAYER);
  var OLD_OBJECT = byClassId(OLD_PLAYER);
  var EMBED = 'embed[type="application/x-mplayer2" i], embed[src$=".wma" i], ' +
              'embed[src$=".wmv" i], embed[src$=".asf" i]';
  // One selector both finds the elements and hides them.
  var ANY = NEW_OBJECT + ', ' + OLD_OBJECT + ', ' + EMBED;

  // The old player's play states (version 7 and later); the 6.4 model reports its own.
  var UNDEFINED = 0, STOPPED = 1, PAUSED = 2, PLAYING = 3, BUFFERING = 6, ENDED = 8,
      TRANSITIONING = 9, READY = 10;
  var OLD_STATES = { 0: 0, 1: 0, 2: 1, 3: 2, 6: 3, 8: 0, 9: 3, 10: 0 };
  var STATUS = { 1: '已停止', 2: '已暂停', 3: '正在播放', 6: '正在缓冲', 8: '播放完毕',
                 9: '正在打开媒体', 10: '就绪' };
  var CANNOT_PLAY = '无法播放此媒体文件。';
  var WMV_NOTICE = '此视频为 WMV 格式，客户端无法播放。';
  // A failure code as the old player reported one: a negative HRESULT.
  var FAILURE_CODE = -1072885353;
  var CONVERSION_TIMEOUT_MS = 120000;
  // The old players' own sizes when a page gives none: the newer one's video area with its
  // control bar, the 6.4 one's display, control bar and status line.
  var NEW_SIZE = { width: '320px', height: '240px' };
  var OLD_SIZE = { width: '320px', height: '285px' };

  var embeds = document.getElementsByTagName('embed');
  var objects = document.getElementsByTagName('object');
  var players = new WeakMap();
  var connected = [];
  var sheetAdopted = false;

  // ---- small rules -----------------------------------------------------------------------

  function flag(text, fallback) {
    if (text === undefined || text === null) return fallback;
    var value = String(text).trim().toLowerCase();
    if (value === '') return fallback;
    if (value === 'false' || value === 'no' || value === 'off') return false;
    if (value === 'true' || value === 'yes' || value === 'on') return true;
    var number = Number(value);
    return isNaN(number) ? fallback : number !== 0;
  }

  function number(text, fallback) {
    if (text === undefined || text === null || String(text).trim() === '') return fallback;
    var value = Number(String(text).trim());
    return isFinite(value) ? value : fallback;
  }

  function clamp(value, low, high) {
    return Math.min(high, Math.max(low, value));
  }

  function timeText(seconds) {
    var whole = Math.max(0, Math.floor(seconds || 0));
    var pad = function (n) { return (n < 10 ? '0' : '') + n; };
    var hours = Math.floor(whole / 3600);
    var text = pad(Math.floor(whole / 60) % 60) + ':' + pad(whole % 60);
    return hours ? pad(hours) + ':' + text : text;
  }

  // The 6.4 model's volume is in hundredths of a decibel, -10000 (silence) to 0.
  function levelFromDecibels(hundredths) {
    return hundredths <= -10000 ? 0 : Math.pow(10, clamp(hundredths, -10000, 0) / 2000);
  }

  function decibelsFromLevel(level) {
    return level <= 0 ? -10000 : Math.max(-10000, Math.round(2000 * Math.log(level) / Math.LN10));
  }

  // How a source plays: from its address, converted by the client, or not at all.
  function sourceRoute(address) {
    var path = '';
    try {
      path = new Address(address).pathname.toLowerCase();
    } catch (e) {
      return 'direct';
    }
    if (/\.wmv$/.test(path)) return 'wmv';
    if (/\.(wma|asf)$/.test(path)) return 'convert';
    return 'direct';
  }

  function absolute(source) {
    try {
      return new Address(source, document.baseURI).href;
    } catch (e) {
      return source;
    }
  }

  // Names as the old objects answered them: their scripting interface ignored letter case.
  function spellings(name) {
    var lower = name.toLowerCase();
    var flipped = name.charAt(0) === name.charAt(0).toUpperCase()
      ? name.charAt(0).toLowerCase() + name.slice(1)
      : name.charAt(0).toUpperCase() + name.slice(1);
    return [name, lower, flipped, lower.charAt(0).toUpperCase() + lower.slice(1)]
      .filter(function (spelling, i, all) { return all.indexOf(spelling) === i; });
  }

  function expose(target, members) {
    Object.keys(members).forEach(function (name) {
      var member = members[name];
      var descriptor = typeof member === 'function'
        ? { value: member, writable: true }
        : { get: member.get, set: member.set || function () {} };
      descriptor.configurable = true;
      spellings(name).forEach(function (spelling) { define(target, spelling, descriptor); });
    });
    return target;
  }

  // ---- the drawn player --------------------------------------------------------------------

  var LOOK =
    ':host { all: initial; }' +
    '.player { position: relative; width: 100%; height: 100%; display: flex;' +
    ' flex-direction: column; background: #000; color: #e8eef5; overflow: hidden;' +
    ' font: 12px/1.3 "Noto Sans CJK SC", "Microsoft YaHei", sans-serif; user-select: none; }' +
    '.screen { position: relative; flex: 1 1 auto; min-height: 0; }' +
    'video { position: absolute; left: 0; top: 0; width: 100%; height: 100%;' +
    ' object-fit: contain; }' +
    '.status { position: absolute; left: 6px; bottom: 2px; right: 6px; white-space: nowrap;' +
    ' overflow: hidden; text-overflow: ellipsis; color: #9fc3e6; }' +
    '.bar { flex: 0 0 40px; display: flex; flex-direction: column;' +
    ' background: linear-gradient(#3d5064, #1b2531); border-top: 1px solid #56708a; }' +
    '.bar[hidden], .notice[hidden] { display: none; }' +
    '.track { position: relative; height: 6px; margin: 5px 8px 3px; background: #0d141c;' +
    ' border: 1px solid #56708a; border-radius: 3px; cursor: pointer; }' +
    '.fill { position: absolute; left: 0; top: 0; bottom: 0; width: 0; background: #4da3ff;' +
    ' border-radius: 3px; }' +
    '.buttons { flex: 1; display: flex; align-items: center; padding: 0 6px; gap: 5px; }' +
    '.button { width: 20px; height: 20px; border-radius: 50%; background: #d9e6f2;' +
    ' position: relative; cursor: pointer; flex: none; }' +
    '.button:hover { background: #fff; }' +
    '.play::after { content: ""; position: absolute; left: 7px; top: 5px;' +
    ' border-left: 8px solid #1b2531; border-top: 5px solid transparent;' +
    ' border-bottom: 5px solid transparent; }' +
    '.play.playing::after { left: 6px; top: 5px; width: 2px; height: 10px; border: 0;' +
    ' border-left: 3px solid #1b2531; border-right: 3px solid #1b2531; }' +
    '.stop::after { content: ""; position: absolute; left: 6px; top: 6px; width: 8px;' +
    ' height: 8px; background: #1b2531; }' +
    '.time { flex: 1; min-width: 0; white-space: nowrap; overflow: hidden; color: #d9e6f2; }' +
    '.mute::after { content: ""; position: absolute; left: 5px; top: 7px; width: 4px;' +
    ' height: 6px; background: #1b2531; box-shadow: 4px 0 0 -1px #1b2531; }' +
    '.mute::before { content: ""; position: absolute; left: 8px; top: 4px;' +
    ' border-right: 6px solid #1b2531; border-top: 6px solid transparent;' +
    ' border-bottom: 6px solid transparent; }' +
    '.mute.muted { background: #e9a0a0; }' +
    '.volume { position: relative; width: 46px; height: 6px; background: #0d141c;' +
    ' border: 1px solid #56708a; border-radius: 3px; cursor: pointer; flex: none; }' +
    '.notice { position: absolute; left: 0; top: 0; right: 0; bottom: 0; display: flex;' +
    ' align-items: center; justify-content: center; text-align: center; padding: 4px 8px;' +
    ' background: #1b2531; color: #fff; font-size: 13px; }';

  function make(parent, tag, className) {
    var element = document.createElement(tag);
    if (className) element.className = className;
    parent.appendChild(element);
    return element;
  }

  function drawPlayer(host) {
    var root = host.attachShadow({ mode: 'open' });
    make(root, 'style').textContent = LOOK;
    var frame = make(root, 'div', 'player');
    var screen = make(frame, 'div', 'screen');
    var view = {
      media: make(screen, 'video', ''),
      status: make(screen, 'div', 'status'),
      bar: make(frame, 'div', 'bar'),
      notice: make(frame, 'div', 'notice'),
    };
    view.media.preload = 'auto';
    view.track = make(view.bar, 'div', 'track');
    view.fill = make(view.track, 'div', 'fill');
    var buttons = make(view.bar, 'div', 'buttons');
    view.play = make(buttons, 'div', 'button play');
    view.stop = make(buttons, 'div', 'button stop');
    view.time = make(buttons, 'div', 'time');
    view.mute = make(buttons, 'div', 'button mute');
    view.volume = make(buttons, 'div', 'volume');
    view.level = make(view.volume, 'div', 'fill');
    view.play.title = '播放/暂停';
    view.stop.title = '停止';
    view.mute.title = '静音';
    view.notice.hidden = true;
    return view;
  }

  // A bar the mouse sets by pressing on it and dragging along it.
  function slider(bar, onFraction) {
    function at(event) {
      var box = bar.getBoundingClientRect();
      if (box.width > 0) onFraction(clamp((event.clientX - box.left) / box.width, 0, 1));
    }
    bar.addEventListener('pointerdown', function (event) {
      bar.setPointerCapture(event.pointerId);
      at(event);
    });
    bar.addEventListener('pointermove', function (event) {
      if (bar.hasPointerCapture(event.pointerId)) at(event);
    });
  }

  // ---- page scripts of the old form <script for="Player" event="PlayStateChange(s)"> ------

  var compiledScripts = new WeakMap();

  function scriptHandlers(element, eventName) {
    var names = [element.id, element.getAttribute('name')]
      .filter(Boolean).map(function (n) { return n.toLowerCase(); });
    if (!names.length) return [];
    var handlers = [];
    var scripts = document.querySelectorAll('script[for][event]');
    for (var i = 0; i < scripts.length; i++) {
      var script = scripts[i];
      if (names.indexOf(script.getAttribute('for').trim().toLowerCase()) < 0) continue;
      if (/vbscript/i.test(script.getAttribute('language') || script.type || '')) continue;
      var match = /^\s*([A-Za-z_]\w*)\s*(?:\(([^)]*)\))?\s*$/.exec(script.getAttribute('event'));
      if (!match || match[1].toLowerCase() !== eventName.toLowerCase()) continue;
      if (!compiledScripts.has(script)) {
        var parameters = (match[2] || '').split(',').map(function (p) { return p.trim(); })
          .filter(Boolean);
        var handler = null;
        try {
          handler = compile.apply(null, parameters.concat(script.text));
        } catch (e) {
          reportLater(e);
        }
        compiledScripts.set(script, handler);
      }
      if (compiledScripts.get(script)) handlers.push(compiledScripts.get(script));
    }
    return handlers;
  }

  // ---- one player ------------------------------------------------------------------------

  function createPlayer(element) {
    var newModel = element.matches(NEW_OBJECT);
    var isEmbed = element.localName === 'embed';
    var host = document.createElement('ie-media-player');
    var view = drawPlayer(host);
    var media = view.media;
    var handlers = {};
    var state = UNDEFINED;
    var started = false;
    var paramCount = -1;
    var pageSource = null;
    var source = '';
    var generation = 0;
    var pending = null;
    var objectAddress = null;
    var converted = false;
    var playsLeft = 1;
    var wantPlay = false;
    var intent = false;
    var startAt = 0;
    var errors = [];
    var options = { autoStart: true, playCount: 1, loop: false, uiMode: 'full',
                    showControls: true, balance: 0 };

    // -- events of the old object: attachEvent on the element, and <script for event> --

    function fire(name, args) {
      var list = (handlers[name.toLowerCase()] || []).slice()
        .concat(scriptHandlers(element, name));
      list.forEach(function (handler) {
        try {
          handler.apply(undefined, args);
        } catch (e) {
          reportLater(e);
        }
      });
    }

    function playerEvent(name) {
      var bare = String(name).replace(/^on/i, '').toLowerCase();
      return ['playstatechange', 'endofstream', 'error', 'mediaerror'].indexOf(bare) >= 0
        ? bare : null;
    }

    function attachEvent(name, handler) {
      var bare = playerEvent(name);
      if (!bare) {
        var inherited = prototypeOf(element).attachEvent;
        if (typeof inherited === 'function') return inherited.call(element, name, handler);
        element.addEventListener(String(name).replace(/^on/i, ''), handler);
        return true;
      }
      if (typeof handler !== 'function') return false;
      (handlers[bare] = handlers[bare] || []).push(handler);
      return true;
    }

    function detachEvent(name, handler) {
      var bare = playerEvent(name);
      if (!bare) {
        var inherited = prototypeOf(element).detachEvent;
        if (typeof inherited === 'function') return inherited.call(element, name, handler);
        element.removeEventListener(String(name).replace(/^on/i, ''), handler);
        return;
      }
      var list = handlers[bare] || [];
      var at = list.indexOf(handler);
      if (at >= 0) list.splice(at, 1);
    }

    // -- state --

    function setState(next) {
      if (next === state) return;
      var previous = state;
      state = next;
      view.status.textContent = STATUS[state] ? STATUS[state] + (source ? '：' + name() : '') : '';
      view.play.classList.toggle('playing', state === PLAYING || state === BUFFERING);
      if (newModel) {
        fire('PlayStateChange', [state]);
      } else if (OLD_STATES[previous] !== OLD_STATES[state]) {
        fire('PlayStateChange', [OLD_STATES[previous], OLD_STATES[state]]);
      }
    }

    function showNotice(text) {
      view.notice.textContent = text;
      view.notice.hidden = !text;
    }

    function fail(text) {
      generation++;
      abortConversion();
      wantPlay = false;
      media.removeAttribute('src');
      errors.push({ errorCode: FAILURE_CODE, errorDescription: text });
      showNotice(text);
      setState(newModel ? READY : STOPPED);
      if (newModel) fire('MediaError', [currentMedia]);
      else fire('Error', []);
    }

    function name() {
      var path = source.split(/[?#]/)[0];
      return decodeURIComponentSafe(path.slice(path.lastIndexOf('/') + 1));
    }

    function decodeURIComponentSafe(text) {
      try {
        return decodeURIComponent(text);
      } catch (e) {
        return text;
      }
    }

    // -- loading --

    function abortConversion() {
      if (pending) {
        var request = pending;
        pending = null;
        request.abort();
      }
    }

    function releaseObjectAddress() {
      if (objectAddress) {
        revokeObjectAddress(objectAddress);
        objectAddress = null;
      }
    }

    function load(text) {
      generation++;
      abortConversion();
      releaseObjectAddress();
      converted = false;
      startAt = 0;
      errors = [];
      showNotice('');
      source = String(text || '');
      playsLeft = options.playCount;
      wantPlay = options.autoStart;
      media.removeAttribute('src');
      media.load();
      if (!source) {
        setState(UNDEFINED);
        return;
      }
      setState(TRANSITIONING);
      var address = absolute(source);
      var route = sourceRoute(address);
      if (route === 'wmv') fail(WMV_NOTICE);
      else if (route === 'convert') convert(address);
      else open(address);
    }

    function open(address) {
      media.src = address;
      media.load();
      if (wantPlay) start();
    }

    function convert(address) {
      var ticket = generation;
      converted = true;
      media.removeAttribute('src');
      var request = new Request();
      pending = request;
      function failed() {
        if (ticket === generation) {
          pending = null;
          fail(CANNOT_PLAY);
        }
      }
      request.onload = function () {
        if (ticket !== generation) return;
        pending = null;
        if (request.status !== 200 || !request.response || !request.response.size)
          return fail(CANNOT_PLAY);
        objectAddress = makeObjectAddress(request.response);
        open(objectAddress);
      };
      request.onerror = failed;
      request.ontimeout = failed;
      try {
        request.open('GET', ie.channel + 'media?src=' + encode(address), true);
        request.responseType = 'blob';
        request.timeout = CONVERSION_TIMEOUT_MS;
        request.send();
      } catch (e) {
        failed();
      }
    }

    function start() {
      wantPlay = false;
      intent = true;
      var promise = media.play();
      if (promise) promise.catch(function () {});
    }

    function play() {
      if (!source || view.notice.hidden === false) return;
      if (state === ENDED) {
        media.currentTime = 0;
        playsLeft = options.playCount;
      }
      if (!media.getAttribute('src')) {
        wantPlay = true;
        return;
      }
      start();
    }

    function pause() {
      wantPlay = false;
      intent = false;
      if (!media.paused) media.pause();
    }

    function stop() {
      wantPlay = false;
      intent = false;
      if (!media.getAttribute('src')) return;
      media.pause();
      try {
        media.currentTime = 0;
      } catch (e) {
        startAt = 0;
      }
      playsLeft = options.playCount;
      setState(STOPPED);
    }

    function position() {
      return media.getAttribute('src') ? media.currentTime || 0 : startAt;
    }

    function seek(seconds) {
      var to = Math.max(0, number(seconds, 0));
      if (media.readyState >= 1) media.currentTime = to;
      else startAt = to;
    }

    function duration() {
      var length = media.duration;
      return isFinite(length) ? length : 0;
    }

    media.addEventListener('loadedmetadata', function () {
      if (startAt) media.currentTime = startAt;
      startAt = 0;
      if (state === TRANSITIONING && media.paused && !wantPlay) setState(READY);
      showTime();
    });
    media.addEventListener('playing', function () { setState(PLAYING); });
    media.addEventListener('waiting', function () {
      if (!media.paused) setState(BUFFERING);
    });
    // The pause just before the end is no change of its own.
    media.addEventListener('pause', function () {
      if (media.ended) return;
      if (state === PLAYING || state === BUFFERING) setState(PAUSED);
      else if (state === TRANSITIONING && media.readyState >= 1) setState(READY);
    });
    media.addEventListener('ended', function () {
      if (options.loop || --playsLeft > 0) {
        media.currentTime = 0;
        start();
        return;
      }
      setState(ENDED);
      if (!newModel) fire('EndOfStream', [0]);
    });
    media.addEventListener('error', function () {
      if (!media.getAttribute('src') || view.notice.hidden === false) return;
      var error = media.error;
      // The engine names an undecodable file and a missing one alike: the client may still
      // convert it.
      if (error && error.code === 4 && !converted) {
        wantPlay = intent;
        convert(absolute(source));
        return;
      }
      fail(CANNOT_PLAY);
    });
    media.addEventListener('timeupdate', showTime);
    media.addEventListener('durationchange', showTime);
    media.addEventListener('volumechange', showVolume);

    function showTime() {
      var length = duration();
      view.fill.style.width = (length ? clamp(media.currentTime / length, 0, 1) * 100 : 0) + '%';
      view.time.textContent = timeText(media.currentTime) + ' / ' + timeText(length);
    }

    function showVolume() {
      view.level.style.width = (media.muted ? 0 : media.volume * 100) + '%';
      view.mute.classList.toggle('muted', media.muted);
    }

    view.play.addEventListener('click', function () {
      if (state === PLAYING || state === BUFFERING) pause();
      else play();
    });
    view.stop.addEventListener('click', stop);
    view.mute.addEventListener('click', function () { media.muted = !media.muted; });
    slider(view.track, function (fraction) {
      if (duration()) media.currentTime = fraction * duration();
    });
    slider(view.volume, function (fraction) {
      media.volume = fraction;
      media.muted = false;
    });

    // -- what the page set up: params (objects), attributes (embeds), case ignored --

    function settingsOfPage() {
      var values = {};
      var params = element.getElementsByTagName('param');
      for (var i = 0; i < params.length; i++) {
        if (params[i].parentNode !== element) continue;
        var key = (params[i].getAttribute('name') || '').toLowerCase();
        if (key && !(key in values)) values[key] = params[i].getAttribute('value');
      }
      for (var j = 0; j < element.attributes.length; j++) {
        var attribute = element.attributes[j];
        if (!(attribute.name in values)) values[attribute.name] = attribute.value;
      }
      return values;
    }

    function applySettings(values) {
      options.autoStart = flag(values.autostart, true);
      options.uiMode = String(values.uimode || 'full').toLowerCase();
      options.showControls = flag(values.showcontrols, true);
      var count = number(values.playcount, 1);
      options.loop = flag(values.loop, false) || (!newModel && count === 0);
      options.playCount = Math.max(1, Math.floor(count) || 1);
      var volume = number(values.volume, null);
      if (volume !== null) {
        // A positive volume on the older objects can only be meant as a percentage.
        media.volume = newModel || volume > 0 ? clamp(volume, 0, 100) / 100
                                              : levelFromDecibels(volume);
      }
      media.muted = flag(values.mute, false);
      showVolume();
      layOut();
      reloadFrom(values);
    }

    function reloadFrom(values) {
      var given = values.url || values.filename || values.src || '';
      if (given !== source) load(given);
    }

    function sourceSetByPage(text) {
      pageSource = String(text === undefined || text === null ? '' : text);
      started = true;
      load(pageSource);
    }

    // -- the box: the element's size, its visibility, the controls the old player showed --

    function layOut() {
      var style = styleOf(element);
      var hiddenAttribute = element.getAttribute('hidden');
      var invisible = options.uiMode === 'invisible' ||
        (hiddenAttribute !== null && flag(hiddenAttribute, true)) ||
        element.style.display === 'none';
      var size = newModel ? NEW_SIZE : OLD_SIZE;
      set('display', invisible ? 'none' : 'inline-block');
      set('width', style.width === 'auto' ? size.width : style.width);
      set('height', style.height === 'auto' ? size.height : style.height);
      set('visibility', style.visibility);
      set('vertical-align', 'baseline');
      set('overflow', 'hidden');
      set('box-sizing', 'border-box');
      view.bar.hidden = options.uiMode === 'none' || !options.showControls;
    }

    function set(property, value) {
      host.style.setProperty(property, value, 'important');
    }

    function placeBox() {
      if (element.nextSibling !== host) element.parentNode.insertBefore(host, element.nextSibling);
    }

    // -- the object models --

    var currentMedia = expose({}, {
      duration: { get: duration },
      durationString: { get: function () { return timeText(duration()); } },
      name: { get: function () { return name().replace(/\.[^.]*$/, ''); } },
      sourceURL: { get: function () { return source ? absolute(source) : ''; } },
      getItemInfo: function (key) {
        var lower = String(key).toLowerCase();
        if (lower === 'title') return currentMedia.name;
        if (lower === 'duration') return String(duration());
        return '';
      },
    });

    var controls = expose({}, {
      play: play,
      pause: pause,
      stop: stop,
      next: function () {},
      previous: function () {},
      currentPosition: { get: position, set: seek },
      currentPositionString: { get: function () { return timeText(position()); } },
      isAvailable: function (what) {
        return ['play', 'pause', 'stop', 'currentposition']
          .indexOf(String(what).toLowerCase()) >= 0 && !!source;
      },
    });

    var settings = expose({}, {
      volume: {
        get: function () { return Math.round(media.volume * 100); },
        set: function (value) {
          media.volume = clamp(number(value, media.volume * 100), 0, 100) / 100;
        },
      },
      mute: {
        get: function () { return media.muted; },
        set: function (value) { media.muted = flag(value, false); },
      },
      autoStart: {
        get: function () { return options.autoStart; },
        set: function (value) { options.autoStart = flag(value, true); },
      },
      playCount: {
        get: function () { return options.playCount; },
        set: function (value) { options.playCount = Math.max(1, Math.floor(number(value, 1))); },
      },
      rate: {
        get: function () { return media.playbackRate; },
        set: function (value) { media.playbackRate = number(value, 1) || 1; },
      },
      balance: {
        get: function () { return options.balance; },
        set: function (value) { options.balance = clamp(number(value, 0), -100, 100); },
      },
      getMode: function (mode) {
        return String(mode).toLowerCase() === 'loop' ? options.loop : false;
      },
      setMode: function (mode, on) {
        if (String(mode).toLowerCase() === 'loop') options.loop = flag(on, false);
      },
      isAvailable: function () { return true; },
    });

    var error = expose({}, {
      errorCount: { get: function () { return errors.length; } },
      item: function (index) { return errors[index] || null; },
      clearErrorQueue: function () { errors = []; },
    });

    var events = { attachEvent: attachEvent, detachEvent: detachEvent };
    Object.keys(events).forEach(function (key) {
      define(element, key, { value: events[key], writable: true, configurable: true });
    });

    if (newModel) {
      expose(element, {
        URL: { get: function () { return source; }, set: sourceSetByPage },
        controls: { get: function () { return controls; } },
        settings: { get: function () { return settings; } },
        currentMedia: { get: function () { return currentMedia; } },
        playState: { get: function () { return state; } },
        status: { get: function () { return STATUS[state] || ''; } },
        error: { get: function () { return error; } },
        uiMode: {
          get: function () { return options.uiMode; },
          set: function (value) {
            options.uiMode = String(value).toLowerCase();
            layOut();
          },
        },
        close: function () { sourceSetByPage(''); },
      });
    } else {
      var oldModel = {
        FileName: { get: function () { return source; }, set: sourceSetByPage },
        Open: sourceSetByPage,
        Play: play,
        Pause: pause,
        Stop: stop,
        CurrentPosition: { get: position, set: seek },
        Duration: { get: duration },
        PlayState: { get: function () { return OLD_STATES[state]; } },
        AutoStart: {
          get: function () { return options.autoStart; },
          set: function (value) { options.autoStart = flag(value, true); },
        },
        Volume: {
          get: function () { return decibelsFromLevel(media.volume); },
          set: function (value) { media.volume = levelFromDecibels(number(value, 0)); },
        },
        Mute: {
          get: function () { return media.muted; },
          set: function (value) { media.muted = flag(value, false); },
        },
        ShowControls: {
          get: function () { return options.showControls; },
          set: function (value) {
            options.showControls = flag(value, true);
            layOut();
          },
        },
        PlayCount: {
          get: function () { return options.loop ? 0 : options.playCount; },
          set: function (value) {
            var count = Math.floor(number(value, 1));
            options.loop = count === 0;
            options.playCount = Math.max(1, count);
          },
        },
        HasError: { get: function () { return errors.length > 0; } },
        ErrorCode: { get: function () { return errors.length ? FAILURE_CODE : 0; } },
        ErrorDescription: {
          get: function () { return errors.length ? errors[errors.length - 1].errorDescription : ''; },
        },
      };
      // The embed keeps its own src; setting it reloads through the attribute.
      if (isEmbed) delete oldModel.Open;
      expose(element, oldModel);
    }

    var watcher = new Observer(function (records) {
      var sourceChanged = records.some(function (record) {
        return record.attributeName === 'src';
      });
      if (sourceChanged && isEmbed && pageSource === null) reloadFrom(settingsOfPage());
      layOut();
    });
    watcher.observe(element, {
      attributes: true, attributeFilter: ['width', 'height', 'style', 'class', 'hidden', 'src'],
    });

    // Called for every change of the document while the element is in it.
    function update() {
      placeBox();
      var params = element.getElementsByTagName('param').length;
      if (!started) {
        if (!parsed(element, host)) return;
        started = true;
        paramCount = params;
        applySettings(settingsOfPage());
      } else if (params !== paramCount) {
        paramCount = params;
        if (pageSource === null) applySettings(settingsOfPage());
      }
    }

    function leave() {
      if (host.parentNode) host.parentNode.removeChild(host);
      pause();
    }

    layOut();
    return { element: element, update: update, leave: leave };
  }

  // The parser may still be adding params to an element it has not closed: an element is
  // complete once the page has loaded or something follows it.
  function parsed(element, host) {
    if (document.readyState !== 'loading') return true;
    for (var node = element; node && node !== document; node = node.parentNode) {
      var next = node.nextSibling;
      if (next === host) next = host.nextSibling;
      if (next) return true;
    }
    return false;
  }

  function adoptSheet() {
    if (sheetAdopted) return;
    sheetAdopted = true;
    try {
      var sheet = new StyleSheet();
      sheet.replaceSync(ANY + ' { display: none !important; }');
      document.adoptedStyleSheets = document.adoptedStyleSheets.concat([sheet]);
    } catch (e) {
      reportLater(e);
    }
  }

  function insidePlayer(element) {
    var outer = element.parentElement && element.parentElement.closest('object');
    for (; outer; outer = outer.parentElement && outer.parentElement.closest('object')) {
      if (outer.matches(NEW_OBJECT) || outer.matches(OLD_OBJECT)) return true;
    }
    return false;
  }

  function consider(element) {
    if (!element.matches(ANY) || insidePlayer(element)) return;
    var player = players.get(element);
    if (!player) {
      adoptSheet();
      try {
        player = createPlayer(element);
      } catch (e) {
        reportLater(e);
        return;
      }
      players.set(element, player);
    }
    if (connected.indexOf(player) < 0) connected.push(player);
    player.update();
  }

  function scan() {
    connected = connected.filter(function (player) {
      if (player.element.isConnected) return true;
      player.leave();
      return false;
    });
    Array.prototype.forEach.call(objects, consider);
    Array.prototype.forEach.call(embeds, consider);
  }

  // Started at the document's creation, so the parser's elements are seen as well as the ones
  // page scripts add later; a page without such elements costs a length check per change.
  var observer = new Observer(function () {
    if (!embeds.length && !objects.length && !connected.length) return;
    scan();
  });
  observer.observe(document, { childList: true, subtree: true });
  document.addEventListener('DOMContentLoaded', function () {
    if (embeds.length || objects.length) scan();
  });
})(ie);
