// The page's service worker, made for one build by Publish.cmake: it keeps that build's page,
// script and module in a cache named by the build, so that the game starts with the network
// gone. The page comes from the network first; the script and module of this build come from
// its cache, those of any other build (a page newer than this worker) from the network, so a
// page never runs one build's script with another's module.
var build = '@VEXLOR_BUILD@';
var cacheName = 'vexlor-' + build;
var files = ['./', 'index.js?build=' + build, 'index.wasm?build=' + build, 'manifest.webmanifest', 'icon-192.png',
  'icon-512.png', 'icon-maskable-512.png'];

self.addEventListener('install', function(event) {
  event.waitUntil(caches.open(cacheName).then(function(cache) {
    return cache.addAll(files.map(function(file) { return new Request(file, {cache: 'reload'}); }));
  }).then(function() { return self.skipWaiting(); }));
});

// A new build's worker replaces the old cache whole.
self.addEventListener('activate', function(event) {
  event.waitUntil(caches.keys().then(function(names) {
    return Promise.all(names.filter(function(name) { return name.indexOf('vexlor-') === 0 && name !== cacheName; })
      .map(function(name) { return caches.delete(name); }));
  }).then(function() { return self.clients.claim(); }));
});

self.addEventListener('fetch', function(event) {
  var request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== location.origin) return;
  if (request.mode === 'navigate') {
    event.respondWith(fetch(request).catch(function() {
      return caches.open(cacheName).then(function(cache) { return cache.match('./'); });
    }));
    return;
  }
  event.respondWith(caches.open(cacheName).then(function(cache) { return cache.match(request); })
    .then(function(cached) { return cached || fetch(request); }));
});
