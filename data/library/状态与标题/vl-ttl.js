// Scrolling page title: the lines (<li>) of a hidden .vl-ttl list take turns in the browser tab's
// title, each scrolling by one character at a time like a marquee until it has gone round once.
// With data-keep="1" the page's own title follows each line. The line being shown is marked
// with aria-current="true".
(function () {
  const list = document.querySelector('.vl-ttl:not([data-vl-ready])');
  // A page has one title: copies pasted a second time are left as they are.
  if (!list || document.querySelector('.vl-ttl[data-vl-ready]')) return;
  list.dataset.vlReady = '';
  const items = Array.from(list.querySelectorAll('li')).filter((li) => li.textContent.trim() !== '');
  if (items.length === 0) return;

  const own = document.title;
  const keep = list.dataset.keep !== '0' && own.trim() !== '';
  const speed = Math.max(100, Number(list.dataset.speed) || 300);
  const still = window.matchMedia('(prefers-reduced-motion: reduce)').matches;
  // Split by code points, so that a character outside the basic plane is not cut in half.
  const texts = items.map((li) => Array.from(`${li.textContent.trim()}${keep ? ` - ${own}` : ''}\u3000\u3000`));

  let line = 0;
  let start = 0;
  const show = () => {
    items.forEach((li, k) => {
      if (k === line) li.setAttribute('aria-current', 'true');
      else li.removeAttribute('aria-current');
    });
    const chars = texts[line];
    document.title = chars.slice(start).concat(chars.slice(0, start)).join('');
  };
  show();
  window.setInterval(() => {
    if (still) {
      // Without motion each line stays whole for a while, then the next one comes.
      line = (line + 1) % items.length;
    } else {
      start += 1;
      if (start >= texts[line].length) {
        start = 0;
        line = (line + 1) % items.length;
      }
    }
    show();
  }, still ? 4000 : speed);
})();
