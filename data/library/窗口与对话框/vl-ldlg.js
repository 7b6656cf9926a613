// Link dialogs. The setup window writes one flat row: each button
// (.vl-ldlg-open) is followed by its links (.vl-ldlg-link). Here every
// button gets a modal dialog of its own holding the links after it.
(function () {
  var counter = 0;
  function start(root) {
    if (root.dataset.vlReady) return;
    root.dataset.vlReady = '1';
    var grid = null;
    Array.prototype.slice.call(root.children).forEach(function (el) {
      if (el.classList.contains('vl-ldlg-open')) {
        grid = makeDialog(root, el);
      } else if (grid && el.classList.contains('vl-ldlg-link')) {
        grid.append(el);
      }
    });
  }
  function makeDialog(root, button) {
    var id = 'vl-ldlg-' + (++counter);
    var box = document.createElement('dialog');
    box.className = 'vl-ldlg-box';
    box.setAttribute('aria-labelledby', id);
    var head = document.createElement('div');
    head.className = 'vl-ldlg-head';
    var title = document.createElement('h2');
    title.id = id;
    title.textContent = button.textContent;
    var x = document.createElement('button');
    x.type = 'button';
    x.className = 'vl-ldlg-x';
    x.textContent = '\u00d7';
    x.setAttribute('aria-label', root.dataset.close || 'Close');
    x.addEventListener('click', function () { box.close(); });
    head.append(title, x);
    var grid = document.createElement('div');
    grid.className = 'vl-ldlg-grid';
    box.append(head, grid);
    // A click that lands on the dimmed backdrop reaches the dialog itself
    box.addEventListener('click', function (e) {
      if (e.target === box) box.close();
    });
    button.setAttribute('aria-haspopup', 'dialog');
    button.addEventListener('click', function () { box.showModal(); });
    button.after(box);
    return grid;
  }
  var me = document.currentScript;
  var root = me && me.previousElementSibling;
  if (root && root.classList.contains('vl-ldlg')) start(root);
  else document.querySelectorAll('.vl-ldlg').forEach(start);
})();
