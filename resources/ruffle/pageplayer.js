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
  const player = document.createElement("script");
  player.src = folder + "ruffle.js";
  (document.head || document.documentElement).appendChild(player);
})();
