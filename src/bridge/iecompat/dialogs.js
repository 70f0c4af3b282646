// Web-page dialogs of the old browser: showModalDialog waits for the dialog and gives back its
// returnValue; showModelessDialog opens an ordinary window. The client opens both: the calling
// script is held by a synchronous request to the client's channel, answered when the dialog
// closes.
(function (ie) {
  var Request = XMLHttpRequest;
  var stringify = JSON.stringify;
  var parse = JSON.parse;

  // Arguments travel as a copy: plain data only, as the old dialogs could share no objects
  // across processes here.
  function copyable(value, depth) {
    if (depth > 32) return false;
    if (value === null || value === undefined) return true;
    var type = typeof value;
    if (type === 'string' || type === 'boolean') return true;
    if (type === 'number') return isFinite(value);
    if (type !== 'object') return false;
    var prototype = Object.getPrototypeOf(value);
    if (Array.isArray(value)) {
      for (var i = 0; i < value.length; i++)
        if (!copyable(value[i], depth + 1)) return false;
      return true;
    }
    if (prototype !== Object.prototype && prototype !== null) return false;
    for (var key in value)
      if (Object.prototype.hasOwnProperty.call(value, key) && !copyable(value[key], depth + 1))
        return false;
    return true;
  }

  function invalidArgument() {
    var error = new Error('Invalid argument.');
    error.number = -2147024809;
    error.description = error.message;
    return error;
  }

  function ask(path) {
    var request = new Request();
    request.open('GET', ie.channel + path, false);
    try {
      request.send();
    } catch (e) {
      return null;
    }
    return request.status === 200 ? request.responseText : null;
  }

  function absolute(url) {
    return new URL(String(url), location.href).href;
  }

  window.showModalDialog = function (url, dialogArguments, features) {
    if (url === undefined || url === null || url === '') throw invalidArgument();
    if (!copyable(dialogArguments, 0)) throw invalidArgument();
    var address;
    try {
      address = absolute(url);
    } catch (e) {
      throw invalidArgument();
    }
    var args = dialogArguments === undefined ? '' : stringify({ value: dialogArguments });
    var answer = ask('dialog?url=' + encodeURIComponent(address) + '&args=' +
                     encodeURIComponent(args) + '&features=' +
                     encodeURIComponent(features === undefined ? '' : String(features)));
    if (!answer) return undefined;
    try {
      return parse(answer).value;
    } catch (e) {
      return undefined;
    }
  };

  window.showModelessDialog = function (url) {
    if (url === undefined || url === null || url === '') throw invalidArgument();
    ask('modeless?url=' + encodeURIComponent(absolute(url)));
    return null;
  };
})(ie);
