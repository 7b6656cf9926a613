// Floating picture window: moves the box at a steady speed and bounces it
// off the edges of the browser window. Hovering or focusing stops it.
(function () {
  function start(box) {
    if (box.dataset.vlReady) return;
    box.dataset.vlReady = '1';
    // Title bar with a close button; its texts come from data attributes
    // so that the page, not this file, holds the Chinese words.
    var bar = document.createElement('div');
    bar.className = 'vl-float-bar';
    var title = document.createElement('span');
    title.textContent = box.dataset.title || '';
    var close = document.createElement('button');
    close.type = 'button';
    close.className = 'vl-float-close';
    close.textContent = '\u00d7';
    close.setAttribute('aria-label', box.dataset.close || 'Close');
    bar.append(title, close);
    box.prepend(bar);

    var speed = parseFloat(box.dataset.speed) || 60;
    var x = 20, y = 20, dx = 1, dy = 1;
    var paused = false, last = null, running = true;
    var still = window.matchMedia('(prefers-reduced-motion: reduce)').matches;
    function place() {
      box.style.transform = 'translate(' + Math.round(x) + 'px,' + Math.round(y) + 'px)';
    }
    function step(now) {
      if (!running) return;
      if (last !== null && !paused && !still) {
        var t = Math.min(0.1, (now - last) / 1000);
        var maxX = Math.max(0, document.documentElement.clientWidth - box.offsetWidth);
        var maxY = Math.max(0, document.documentElement.clientHeight - box.offsetHeight);
        x += dx * speed * t;
        y += dy * speed * t;
        if (x <= 0) { x = 0; dx = 1; }
        if (x >= maxX) { x = maxX; dx = -1; }
        if (y <= 0) { y = 0; dy = 1; }
        if (y >= maxY) { y = maxY; dy = -1; }
        place();
      }
      last = now;
      requestAnimationFrame(step);
    }
    box.addEventListener('mouseenter', function () { paused = true; });
    box.addEventListener('mouseleave', function () { paused = false; });
    box.addEventListener('focusin', function () { paused = true; });
    box.addEventListener('focusout', function () { paused = false; });
    close.addEventListener('click', function () {
      running = false;
      box.hidden = true;
    });
    place();
    requestAnimationFrame(step);
  }
  var me = document.currentScript;
  var box = me && me.previousElementSibling;
  if (box && box.classList.contains('vl-float')) start(box);
  else document.querySelectorAll('.vl-float').forEach(start);
})();
