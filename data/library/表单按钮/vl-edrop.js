/* Drop-down buttons: ul.vl-edrop holds li.vl-edrop-top entries, each followed
   by its li.vl-edrop-sub links. Every top entry becomes a button that opens
   a menu of the links after it. */
(function () {
  var openGroup = null;

  function close(group, focusButton) {
    if (!group) return;
    group.btn.setAttribute('aria-expanded', 'false');
    group.menu.hidden = true;
    if (focusButton) group.btn.focus();
    if (openGroup === group) openGroup = null;
  }
  function open(group, focusFirst) {
    if (openGroup && openGroup !== group) close(openGroup, false);
    group.btn.setAttribute('aria-expanded', 'true');
    group.menu.hidden = false;
    openGroup = group;
    if (focusFirst) {
      var a = group.menu.querySelector('a');
      if (a) a.focus();
    }
  }

  function setup(list, n) {
    var groups = [];
    var current = null;
    var items = Array.prototype.slice.call(list.children);
    items.forEach(function (li) {
      if (li.classList.contains('vl-edrop-top')) {
        var wrap = document.createElement('li');
        wrap.className = 'vl-edrop-group';
        var btn = document.createElement('button');
        btn.type = 'button';
        btn.className = 'vl-edrop-btn';
        btn.setAttribute('aria-haspopup', 'menu');
        btn.setAttribute('aria-expanded', 'false');
        // keep the user's text (and any markup in it) as the button caption
        while (li.firstChild) btn.appendChild(li.firstChild);
        var menu = document.createElement('ul');
        menu.className = 'vl-edrop-menu';
        menu.setAttribute('role', 'menu');
        menu.id = 'vl-edrop-' + n + '-' + groups.length;
        menu.hidden = true;
        btn.setAttribute('aria-controls', menu.id);
        wrap.appendChild(btn);
        wrap.appendChild(menu);
        list.replaceChild(wrap, li);
        current = { btn: btn, menu: menu, wrap: wrap };
        groups.push(current);
      } else if (current) {
        li.setAttribute('role', 'none');
        var a = li.querySelector('a');
        if (a) a.setAttribute('role', 'menuitem');
        current.menu.appendChild(li);
      }
    });
    groups.forEach(function (g) {
      g.btn.addEventListener('click', function () {
        if (g.menu.hidden) open(g, false); else close(g, false);
      });
      g.btn.addEventListener('keydown', function (e) {
        if (e.key === 'ArrowDown') { e.preventDefault(); open(g, true); }
      });
      g.menu.addEventListener('keydown', function (e) {
        var links = Array.prototype.slice.call(g.menu.querySelectorAll('a'));
        var at = links.indexOf(document.activeElement);
        if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
          e.preventDefault();
          var step = e.key === 'ArrowDown' ? 1 : -1;
          var next = links[(at + step + links.length) % links.length];
          if (next) next.focus();
        } else if (e.key === 'Escape') {
          close(g, true);
        } else if (e.key === 'Tab') {
          close(g, false);
        }
      });
    });
    list.setAttribute('data-vl-ready', '1');
  }

  var lists = document.querySelectorAll('ul.vl-edrop');
  for (var i = 0; i < lists.length; i++) setup(lists[i], i);

  // a click anywhere outside the open menu closes it
  document.addEventListener('click', function (e) {
    if (openGroup && !openGroup.wrap.contains(e.target)) close(openGroup, false);
  });
  document.addEventListener('keydown', function (e) {
    if (e.key === 'Escape' && openGroup) close(openGroup, true);
  });
})();
