// Counting statistics. In each item of a .vl-count list, the text up to the first blank becomes the
// big number line and the rest its label. The first number in that line counts up from 0 the first
// time the item comes into view, with the same decimals and thousands commas as written.
(function () {
  const still = window.matchMedia('(prefers-reduced-motion: reduce)').matches;
  const duration = 1600;
  const numberPattern = /\d[\d,]*(\.\d+)?/;

  const format = (value, decimals, commas) => {
    const text = value.toFixed(decimals);
    if (!commas) return text;
    const [whole, fraction] = text.split('.');
    return whole.replace(/\B(?=(\d{3})+(?!\d))/g, ',') + (fraction ? `.${fraction}` : '');
  };

  const count = (item) => {
    const target = item.vlCount;
    if (!target) return;
    const start = performance.now();
    const tick = (now) => {
      const t = Math.min(1, (now - start) / duration);
      // Fast at first, slowing down towards the end.
      const eased = 1 - Math.pow(1 - t, 3);
      if (target.done) return;
      target.node.textContent = format(target.value * eased, target.decimals, target.commas);
      if (t < 1) window.requestAnimationFrame(tick);
      else target.done = true;
    };
    window.requestAnimationFrame(tick);
    // Frames may be held back (a tab in the background); the final number is written in any case.
    window.setTimeout(() => tick(start + duration), duration + 200);
  };

  const watcher = 'IntersectionObserver' in window && !still
    ? new IntersectionObserver((entries) => {
      entries.forEach((entry) => {
        if (!entry.isIntersecting) return;
        watcher.unobserve(entry.target);
        count(entry.target);
      });
    }, { threshold: 0.5 })
    : null;

  // The script runs once per pasted copy of the effect; a list already set up is left alone.
  document.querySelectorAll('.vl-count:not([data-vl-ready])').forEach((list) => {
    list.dataset.vlReady = '';
    list.querySelectorAll(':scope > li').forEach((item) => {
      // An item holding markup of its own is left as it is.
      if (item.children.length > 0) return;
      const text = item.textContent.trim();
      const blank = text.search(/\s/);
      const head = blank < 0 ? text : text.slice(0, blank);
      const rest = blank < 0 ? '' : text.slice(blank).trim();
      const big = document.createElement('strong');
      big.className = 'vl-count-num';
      const found = head.match(numberPattern);
      if (found) {
        const digits = document.createElement('span');
        digits.textContent = found[0];
        big.append(head.slice(0, found.index), digits, head.slice(found.index + found[0].length));
        item.vlCount = {
          node: digits,
          value: Number(found[0].replace(/,/g, '')),
          decimals: found[1] ? found[1].length - 1 : 0,
          commas: found[0].includes(','),
        };
        // The number line keeps its final width while counting, so the row does not jump about.
        big.style.minWidth = `${head.length}ch`;
      } else {
        big.textContent = head;
      }
      item.replaceChildren(big);
      if (rest) {
        const label = document.createElement('span');
        label.className = 'vl-count-label';
        label.textContent = rest;
        item.append(label);
      }
      if (found && watcher) {
        item.vlCount.node.textContent = format(0, item.vlCount.decimals, false);
        watcher.observe(item);
      }
    });
  });
})();
