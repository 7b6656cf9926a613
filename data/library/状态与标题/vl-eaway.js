/* Away title: while the page's tab is in the background, the lines of
   ul.vl-eaway take turns as the page title; the original title comes back
   when the visitor returns (after a short data-back greeting, if given). */
(function () {
  var list = document.querySelector('ul.vl-eaway');
  if (!list) return;
  var lines = [];
  var items = list.querySelectorAll('li');
  for (var i = 0; i < items.length; i++) {
    var t = items[i].textContent.replace(/\s+/g, ' ').trim();
    if (t) lines.push(t);
  }
  if (!lines.length) return;
  var speed = parseInt(list.getAttribute('data-speed'), 10) || 2000;
  var back = (list.getAttribute('data-back') || '').trim();
  var original = document.title;
  var timer = null, backTimer = null, at = 0;

  function stop() {
    if (timer) { clearInterval(timer); timer = null; }
    if (backTimer) { clearTimeout(backTimer); backTimer = null; }
  }
  function away() {
    stop();
    // the page may have changed its own title meanwhile: keep the latest one
    original = document.title;
    at = 0;
    document.title = lines[at];
    if (lines.length > 1) {
      timer = setInterval(function () {
        at = (at + 1) % lines.length;
        document.title = lines[at];
      }, speed);
    }
  }
  function home() {
    stop();
    if (back) {
      document.title = back;
      backTimer = setTimeout(function () { document.title = original; backTimer = null; }, 1500);
    } else {
      document.title = original;
    }
  }
  var isAway = false;
  document.addEventListener('visibilitychange', function () {
    if (document.visibilityState === 'hidden' && !isAway) { isAway = true; away(); }
    else if (document.visibilityState === 'visible' && isAway) { isAway = false; home(); }
  });
  list.setAttribute('data-vl-ready', '1');
})();
