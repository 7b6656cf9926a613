// Parallax bands: shifts each picture against the scroll so that it moves
// more slowly than the page around it.
(function () {
  function start(root) {
    if (root.dataset.vlReady) return;
    root.dataset.vlReady = '1';
    var height = parseInt(root.dataset.height, 10) || 280;
    var depth = Math.min(1, Math.max(0, parseFloat(root.dataset.depth) || 0.4));
    var bands = Array.prototype.slice.call(root.querySelectorAll('.vl-para-band'));
    bands.forEach(function (band) { band.style.height = height + 'px'; });
    // Users who ask for less motion get still pictures
    var still = window.matchMedia('(prefers-reduced-motion: reduce)').matches;
    var queued = false;
    function update() {
      queued = false;
      var view = window.innerHeight;
      bands.forEach(function (band) {
        var img = band.querySelector('img');
        if (!img) return;
        var box = band.getBoundingClientRect();
        // -1 when the band enters at the bottom, +1 when it leaves at the top
        var pos = (view / 2 - (box.top + box.height / 2)) / ((view + box.height) / 2);
        pos = Math.max(-1, Math.min(1, pos));
        var room = img.offsetHeight - box.height; // the picture's spare height
        var shift = still ? 0 : pos * depth * room;
        img.style.transform = 'translateY(-50%) translateY(' + shift.toFixed(1) + 'px)';
      });
    }
    function queue() {
      if (!queued) { queued = true; requestAnimationFrame(update); }
    }
    window.addEventListener('scroll', queue, { passive: true });
    window.addEventListener('resize', queue);
    bands.forEach(function (band) {
      var img = band.querySelector('img');
      if (img) img.addEventListener('load', queue);
    });
    update();
  }
  var me = document.currentScript;
  var root = me && me.previousElementSibling;
  if (root && root.classList.contains('vl-para')) start(root);
  else document.querySelectorAll('.vl-para').forEach(start);
})();
