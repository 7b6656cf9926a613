// Horizontal ticker: repeats the segments until one copy is wider than the
// banner, then moves the line by exactly one copy for a seamless loop.
(function () {
  function start(box) {
    if (box.dataset.vlReady) return;
    box.dataset.vlReady = '1';
    var list = box.querySelector('ul');
    if (!list || !list.children.length) return;
    var speed = parseFloat(box.dataset.speed) || 70;
    var originals = Array.prototype.slice.call(list.children);
    function addCopy() {
      originals.forEach(function (item) {
        var copy = item.cloneNode(true);
        // The copies are only for the loop: hide them from screen readers
        // and keep their links out of the Tab order
        copy.setAttribute('aria-hidden', 'true');
        copy.querySelectorAll('a, button, input, select, textarea, [tabindex]').forEach(function (el) {
          el.setAttribute('tabindex', '-1');
        });
        list.append(copy);
      });
    }
    var oneCopy = list.scrollWidth;
    var copies = 1;
    // Enough copies so that the banner is never half empty
    while (copies < 20 && oneCopy * copies < box.clientWidth) {
      addCopy();
      copies++;
    }
    addCopy(); // the set that slides in while the first slides out
    copies++;
    var shift = oneCopy; // moving by one set brings the next set into its place
    box.style.setProperty('--vl-ticker-shift', (-shift) + 'px');
    box.style.setProperty('--vl-ticker-time', (shift / speed).toFixed(2) + 's');
    box.classList.add('vl-ticker-run');
  }
  var me = document.currentScript;
  var box = me && me.previousElementSibling;
  if (box && box.classList.contains('vl-ticker')) start(box);
  else document.querySelectorAll('.vl-ticker').forEach(start);
})();
