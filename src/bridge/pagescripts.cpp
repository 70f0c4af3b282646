#include "bridge/pagescripts.h"

#include <QJsonDocument>
#include <QRandomGenerator>

QString JsString(const QString& text) {
    // A JSON string is a valid script string literal.
    return QString::fromUtf8(
               QJsonDocument::fromVariant(QVariantList{text}).toJson(QJsonDocument::Compact))
        .mid(1)
        .chopped(1);
}

PageScripts::PageScripts(const QString& pageMarker) : marker(pageMarker) {}

QString PageScripts::completionPrefix() const {
    return marker + QStringLiteral(":complete:");
}

QString PageScripts::creationText() const {
    return marker + QStringLiteral(":created");
}

QString PageScripts::refusedPrefix() const {
    return marker + QStringLiteral(":refused:");
}

QString PageScripts::framePrefix() const {
    return marker + QStringLiteral(":frame:");
}

QString PageScripts::inputPrefix() const {
    return marker + QStringLiteral(":input:");
}

QString PageScripts::clickPrefix() const {
    return marker + QStringLiteral(":click:");
}

QString PageScripts::flashText() const {
    return marker + QStringLiteral(":flash");
}

QString PageScripts::documentScript() const {
    return QStringLiteral(R"JS(
(function () {
  var completePrefix = %1;
  var clickPrefix = %2;
  var refusedPrefix = %4;
  // The origin of each frame, as the browser counts it (a sandboxed frame's is "null"), and the
  // student's first input there: from then on the browser lets the frame navigate the top page.
  if (window !== window.top) {
    console.log(%5 + self.origin);
    var inputPrefix = %6;
    var reported = false;
    var reportInput = function () {
      if (reported) return;
      reported = true;
      console.log(inputPrefix + self.origin);
    };
    ['pointerdown', 'mousedown', 'keydown', 'touchstart'].forEach(function (type) {
      window.addEventListener(type, reportInput, true);
    });
  }
  // Empty frames run no script of their own: their parent reports them.
  if (location.href === 'about:blank') return;
  if (window === window.top) console.log(%3);
  window.addEventListener('load', function () {
    var frames = document.querySelectorAll('iframe, frame');
    for (var i = 0; i < frames.length; i++) {
      try {
        if (frames[i].contentWindow && frames[i].contentWindow.location.href === 'about:blank')
          console.log(completePrefix + 'about:blank');
      } catch (e) {}
    }
    console.log(completePrefix + location.href);
  });
  document.addEventListener('DOMContentLoaded', function () {
    var style = document.createElement('style');
    style.textContent = '* { -webkit-user-select: none; user-select: none; }' +
                        ' input, textarea { -webkit-user-select: text; user-select: text; }';
    (document.head || document.documentElement).appendChild(style);
  });
  // Links to other programs go nowhere (the browser hands them to no one): the client notes
  // the attempt.
  window.addEventListener('click', function (event) {
    var link = event.target && event.target.closest ? event.target.closest('a[href], area[href]') : null;
    if (link && !/^(https?|blob|about|javascript):/i.test(link.href))
      console.log(refusedPrefix + link.href);
  }, true);
  // Clicks on an element the client took over go to the client first; the page's own
  // handlers are replaced, and the client's answer decides the element's default action.
  window.addEventListener('click', function (event) {
    var tokens = window.__clientClickTokens;
    var node = event.target;
    while (node && !(tokens && tokens.has(node)))
      node = node.parentNode;
    if (!node) return;
    var token = tokens.get(node);
    event.stopImmediatePropagation();
    if (window.prompt(clickPrefix + token) !== '1') event.preventDefault();
  }, true);
})();
)JS")
        .arg(JsString(completionPrefix()), JsString(clickPrefix()), JsString(creationText()),
             JsString(refusedPrefix()), JsString(framePrefix()), JsString(inputPrefix()));
}

QString PageScripts::flashScript(const QString& loaderAddress) const {
    return QStringLiteral(R"JS(
(function () {
  var question = %1;
  var loader = %2;
  if (!/^https?:$/.test(location.protocol)) return;
  // Live lists: a page without such elements costs one length check per change.
  var embeds = document.getElementsByTagName('embed');
  var objects = document.getElementsByTagName('object');
  function isMovie(element) {
    var type = (element.getAttribute('type') || '').toLowerCase();
    if (type === 'application/x-shockwave-flash' || type === 'application/futuresplash')
      return true;
    var sources = [element.getAttribute('src'), element.getAttribute('data')];
    var params = element.getElementsByTagName('param');
    for (var i = 0; i < params.length; i++)
      if (/^(movie|src)$/i.test(params[i].getAttribute('name') || ''))
        sources.push(params[i].getAttribute('value'));
    return sources.some(function (source) {
      return !!source && /\.swf(?:[?#]|$)/i.test(source.trim());
    });
  }
  function holdsMovie() {
    return Array.prototype.some.call(embeds, isMovie) ||
           Array.prototype.some.call(objects, isMovie);
  }
  // Started at the document's creation, so the parser's elements are seen as well as the
  // ones page scripts add later.
  var observer = new MutationObserver(function () {
    if ((!embeds.length && !objects.length) || !holdsMovie()) return;
    observer.disconnect();
    if (window.prompt(question) !== '1') return;
    var script = document.createElement('script');
    script.src = loader;
    (document.head || document.documentElement).appendChild(script);
  });
  observer.observe(document, { childList: true, subtree: true });
})();
)JS")
        .arg(JsString(flashText()), JsString(loaderAddress));
}

QString PageScripts::readTopDocumentScript() {
    return QStringLiteral(R"JS(
(function () {
  var html = document instanceof HTMLDocument;
  return JSON.stringify({
    exists: html,
    address: location.href,
    cookie: html ? document.cookie : '',
    hasShowReturnBtn: html && !!document.getElementById('showReturnBtn'),
    hasHiddenLink: html && !!document.getElementById('hiddenLink')
  });
})()
)JS");
}

QString PageScripts::attachClickScript(const QString& elementId, int token) {
    return QStringLiteral(R"JS(
(function () {
  var element = document.getElementById(%1);
  if (!element) return false;
  if (!window.__clientClickTokens) window.__clientClickTokens = new WeakMap();
  window.__clientClickTokens.set(element, %2);
  return true;
})()
)JS")
        .arg(JsString(elementId))
        .arg(token);
}

QString RunOnceInDocument(const QString& source, const QString& key) {
    return QStringLiteral("(function () {\n"
                          "var key = %1;\n"
                          "if (Object.prototype.hasOwnProperty.call(document, key)) return;\n"
                          "Object.defineProperty(document, key, { value: true });\n"
                          "%2})();\n")
        .arg(JsString(key), source);
}

QString NewPageMarker() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString marker;
    for (int i = 0; i < 24; ++i)
        marker += QLatin1Char(letters[QRandomGenerator::global()->bounded(36)]);
    return marker;
}
