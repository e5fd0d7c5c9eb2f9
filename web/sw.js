// Keeps the page's files so that it opens with no network after one visit. tools/build-web.sh
// fills in the list of files and a version made from their contents; a new version caches the
// new files and then drops the old cache.
const VERSION = '@VERSION@';
const FILES = ['./', @FILES@];
const CACHE = `gustrule-${VERSION}`;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: 'reload' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  const old = (name) => name.startsWith('gustrule-') && name !== CACHE;
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter(old).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// The kept files answer first; anything else goes to the network. Every address of the page
// itself (with a query or another name) opens the kept page.
self.addEventListener('fetch', (event) => {
  const { request } = event;
  if (request.method !== 'GET') {
    return;
  }
  event.respondWith((async () => {
    const cache = await caches.open(CACHE);
    const kept = await cache.match(request, { ignoreSearch: request.mode === 'navigate' });
    if (kept) {
      return kept;
    }
    try {
      return await fetch(request);
    } catch (problem) {
      if (request.mode === 'navigate') {
        return (await cache.match('./')) ?? Response.error();
      }
      throw problem;
    }
  })());
});
