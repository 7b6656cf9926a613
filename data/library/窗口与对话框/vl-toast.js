// Toast messages: shows the hidden list's items one after another as small
// boxes in the corner. A box stays while the pointer is over it.
(function () {
  function start(list) {
    if (list.dataset.vlReady) return;
    list.dataset.vlReady = '1';
    var delay = (parseFloat(list.dataset.delay) || 0) * 1000;
    var stay = (parseFloat(list.dataset.stay) || 4) * 1000;
    var items = Array.prototype.slice.call(list.children);
    // One stack for the whole page; screen readers announce new messages
    var stack = document.querySelector('body > .vl-toast-stack');
    if (!stack) {
      stack = document.createElement('div');
      stack.className = 'vl-toast-stack';
      stack.setAttribute('aria-live', 'polite');
      document.body.append(stack);
    }
    var next = 0;
    function remove(box) {
      if (box.classList.contains('vl-leaving')) return;
      box.classList.add('vl-leaving');
      setTimeout(function () { box.remove(); }, 400);
    }
    function show() {
      if (next >= items.length) return;
      var item = items[next++];
      var box = document.createElement('div');
      box.className = 'vl-toast';
      // Keep the font and colour that were chosen for this message
      box.style.cssText = item.style.cssText;
      var text = document.createElement('div');
      text.className = 'vl-toast-text';
      text.append.apply(text, Array.prototype.slice.call(item.childNodes).map(function (n) { return n.cloneNode(true); }));
      var close = document.createElement('button');
      close.type = 'button';
      close.className = 'vl-toast-close';
      close.textContent = '\u00d7';
      close.setAttribute('aria-label', list.dataset.close || 'Close');
      close.addEventListener('click', function () { remove(box); });
      box.append(text, close);
      stack.append(box);
      var hover = false, due = false;
      box.addEventListener('mouseenter', function () { hover = true; });
      box.addEventListener('mouseleave', function () { hover = false; if (due) remove(box); });
      setTimeout(function () {
        due = true;
        if (!hover) remove(box);
        show();
      }, stay);
    }
    setTimeout(show, delay);
  }
  var me = document.currentScript;
  var list = me && me.previousElementSibling;
  if (list && list.classList.contains('vl-toast-list')) start(list);
  else document.querySelectorAll('.vl-toast-list').forEach(start);
})();
