// Keeps the page's own files so the game plays offline after the first visit. The network
// comes first, so a newer copy of the game is picked up whenever the host is reachable. The build
// writes in the site's files and a hash of them all: a new release is a new worker with a cache of
// its own, and the last release's cache goes when it takes over.
const FILES = {{files}};
// Caches belong to the whole host, which may serve other apps beside this one: ours are named
// after the folder the game is served from, and only those are ever dropped.
const CACHE = `${self.registration.scope} {{release}}`;

self.addEventListener('install', event => {
  event.waitUntil(caches.open(CACHE).then(cache => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', event => {
  const ours = key => key.startsWith(`${self.registration.scope} `);
  event.waitUntil(caches.keys()
    .then(keys => Promise.all(keys.filter(key => ours(key) && key !== CACHE).map(key => caches.delete(key))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', event => {
  if (event.request.method !== 'GET' || !event.request.url.startsWith(self.registration.scope))
    return;
  event.respondWith(fetch(event.request)
    .then(response => {
      if (response.ok) {
        const copy = response.clone();
        caches.open(CACHE).then(cache => cache.put(event.request, copy));
      }
      return response;
    })
    .catch(() => caches.match(event.request, {ignoreSearch: true})));
});
