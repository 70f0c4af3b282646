// Loads the Flash player into a page of the platform that holds Flash content. The player takes
// the place of each movie's object or embed element, at the page's own sizes, and plays it
// there with its sound, as the platform's old browser did.
(function () {
  "use strict";
  const folder = document.currentScript.src.replace(/[^/]*$/, "");
  window.RufflePlayer = window.RufflePlayer || {};
  window.RufflePlayer.config = {
    publicPath: folder,
    autoplay: "on",
    unmuteOverlay: "hidden",
    splashScreen: false,
    // WebGL is not there on every machine (a virtual display has none).
    preferredRenderer: "canvas",
    contextMenu: "off",
    showSwfDownload: false,
    warnOnUnsupportedContent: false,
    logLevel: "error",
  };
  // The browser's fetch() reads addresses of web schemes only (up to Qt 6.5), and the player
  // fetches its WebAssembly with it: those of the player's folder go through XMLHttpRequest.
  const pageFetch = window.fetch;
  window.fetch = function (resource, options) {
    const address = resource instanceof Request ? resource.url : String(resource);
    if (!address.startsWith(folder))
      return pageFetch.call(this, resource, options);
    return new Promise((resolve, reject) => {
      const request = new XMLHttpRequest();
      request.open("GET", address);
      request.responseType = "arraybuffer";
      request.onload = () => resolve(new Response(request.response, {
        status: request.status,
        headers: { "Content-Type": request.getResponseHeader("Content-Type") || "" },
      }));
      request.onerror = () => reject(new TypeError(`Failed to fetch ${address}`));
      request.send();
    });
  };

  const player = document.createElement("script");
  player.src = folder + "ruffle.js";
  (document.head || document.documentElement).appendChild(player);
})();
