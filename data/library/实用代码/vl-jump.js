// Jump list: opens the address of the chosen option, from the go button or,
// with data-auto="1", as soon as an option is chosen.
(function () {
  function start(form) {
    if (form.dataset.vlReady) return;
    var select = form.querySelector('select');
    if (!select) return;
    form.dataset.vlReady = '1';
    var go = document.createElement('button');
    go.type = 'submit';
    go.className = 'vl-jump-go';
    go.textContent = form.dataset.go || 'Go';
    form.append(go);
    function current() {
      var opt = select.options[select.selectedIndex];
      return opt && !opt.disabled ? opt.value.trim() : '';
    }
    function refresh() { go.disabled = !current(); }
    function open() {
      var url = current();
      if (!url) return;
      if (form.dataset.new === '1') window.open(url, '_blank', 'noopener');
      else window.location.href = url;
    }
    form.addEventListener('submit', function (e) {
      e.preventDefault(); // the form itself sends nothing anywhere
      open();
    });
    select.addEventListener('change', function () {
      refresh();
      if (form.dataset.auto === '1') open();
    });
    refresh();
  }
  var me = document.currentScript;
  var form = me && me.previousElementSibling;
  if (form && form.classList.contains('vl-jump')) start(form);
  else document.querySelectorAll('.vl-jump').forEach(start);
})();
