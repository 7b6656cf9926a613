/* Rotating tab icon: the file names listed in ul.vl-efav become the page's
   icon one after another, every data-speed milliseconds. */
(function () {
  var list = document.querySelector('ul.vl-efav');
  if (!list) return;
  var names = [];
  var items = list.querySelectorAll('li');
  for (var i = 0; i < items.length; i++) {
    var t = items[i].textContent.trim();
    if (t) names.push(t);
  }
  if (!names.length) return;
  var speed = parseInt(list.getAttribute('data-speed'), 10) || 800;

  // one icon link of our own, placed after any icon the page already has so that ours wins
  var icon = document.createElement('link');
  icon.rel = 'icon';
  icon.setAttribute('data-vl-efav', '1');
  document.head.appendChild(icon);

  // load every picture once so that the changes do not flicker
  names.forEach(function (n) { new Image().src = n; });

  var at = 0;
  function show() {
    icon.href = names[at];
    at = (at + 1) % names.length;
  }
  show();
  var still = window.matchMedia && window.matchMedia('(prefers-reduced-motion: reduce)').matches;
  if (names.length > 1 && !still) setInterval(show, speed);
  list.setAttribute('data-vl-ready', '1');
})();
