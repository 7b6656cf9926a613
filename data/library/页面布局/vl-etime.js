/* Timeline: adds a dot to every entry, turns the text before the first colon
   into a date label, applies data-font and data-color, and fades entries in
   as they are scrolled into view. */
(function () {
  function applyFont(el, font) {
    font = (font || '').trim();
    if (!font) return;
    el.style.fontFamily = font;
    // names that are not valid bare CSS words need quotes
    if (!el.style.fontFamily) el.style.fontFamily = '"' + font.replace(/"/g, '') + '"';
  }
  function applyColor(el, color) {
    color = (color || '').trim();
    // a colour the browser does not understand keeps the default blue
    if (color && window.CSS && CSS.supports('color', color)) {
      el.style.setProperty('--vl-etime-color', color);
    }
  }
  function splitDate(li) {
    var first = li.firstChild;
    if (!first || first.nodeType !== 3) return;
    var m = /^\s*([^:\uff1a]{1,20})[:\uff1a]\s*/.exec(first.nodeValue);
    if (!m || m[0].length >= first.nodeValue.length) return;
    var date = document.createElement('span');
    date.className = 'vl-etime-date';
    date.textContent = m[1];
    first.nodeValue = first.nodeValue.slice(m[0].length);
    li.insertBefore(date, first);
  }
  function setup(list) {
    applyFont(list, list.getAttribute('data-font'));
    applyColor(list, list.getAttribute('data-color'));
    var items = list.children;
    for (var i = 0; i < items.length; i++) {
      splitDate(items[i]);
      var dot = document.createElement('span');
      dot.className = 'vl-etime-dot';
      dot.setAttribute('aria-hidden', 'true');
      items[i].insertBefore(dot, items[i].firstChild);
    }
    list.setAttribute('data-vl-ready', '1');
    var still = window.matchMedia && window.matchMedia('(prefers-reduced-motion: reduce)').matches;
    if (still || !('IntersectionObserver' in window)) return;
    var seen = new IntersectionObserver(function (entries) {
      entries.forEach(function (en) {
        if (en.isIntersecting) {
          en.target.classList.add('is-shown');
          seen.unobserve(en.target);
        }
      });
    }, { threshold: 0.15 });
    for (var k = 0; k < items.length; k++) seen.observe(items[k]);
    list.classList.add('is-live');
  }
  var lists = document.querySelectorAll('ol.vl-etime');
  for (var i = 0; i < lists.length; i++) setup(lists[i]);
})();
