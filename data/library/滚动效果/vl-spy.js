// Scroll-spy contents: lights up the link of the section being read and
// scrolls smoothly to a section when its link is clicked.
(function () {
  function start(nav) {
    if (nav.dataset.vlReady) return;
    nav.dataset.vlReady = '1';
    if (nav.dataset.title) {
      var title = document.createElement('p');
      title.className = 'vl-spy-title';
      title.textContent = nav.dataset.title;
      nav.prepend(title);
    }
    // Pair each link with the element its "#place" names, if there is one
    var pairs = [];
    nav.querySelectorAll('a[href^="#"]').forEach(function (a) {
      var id = a.getAttribute('href').slice(1);
      try { id = decodeURIComponent(id); } catch (e) { /* keep as written */ }
      var target = id && document.getElementById(id);
      if (target) pairs.push({ link: a, target: target });
    });
    var still = window.matchMedia('(prefers-reduced-motion: reduce)').matches;
    pairs.forEach(function (p) {
      p.link.addEventListener('click', function (e) {
        e.preventDefault();
        p.target.scrollIntoView({ behavior: still ? 'auto' : 'smooth', block: 'start' });
        history.replaceState(null, '', p.link.getAttribute('href'));
      });
    });
    var queued = false;
    function update() {
      queued = false;
      // The current section is the last one whose top has passed a line
      // a third of the way down the window
      var line = window.innerHeight / 3;
      var on = null;
      pairs.forEach(function (p) {
        if (p.target.getBoundingClientRect().top <= line) on = p;
      });
      // At the very bottom the last section counts as read
      if (pairs.length && window.innerHeight + window.scrollY >= document.documentElement.scrollHeight - 2) {
        on = pairs[pairs.length - 1];
      }
      pairs.forEach(function (p) {
        var lit = p === on;
        p.link.classList.toggle('vl-spy-on', lit);
        if (lit) p.link.setAttribute('aria-current', 'location');
        else p.link.removeAttribute('aria-current');
      });
    }
    function queue() {
      if (!queued) { queued = true; requestAnimationFrame(update); }
    }
    window.addEventListener('scroll', queue, { passive: true });
    window.addEventListener('resize', queue);
    update();
  }
  var me = document.currentScript;
  var nav = me && me.previousElementSibling;
  if (nav && nav.classList.contains('vl-spy')) start(nav);
  else document.querySelectorAll('.vl-spy').forEach(start);
})();
