// Countdowns: every row of a .vl-cdown list written as "date name" becomes a countdown to that date,
// updated every second. Dates: 2027-01-01, 2027/1/1, 2027.1.1 or with the Chinese signs for year,
// month and day, optionally followed by a time of day such as 09:00; without the year (10-01) the
// date comes back every year. Rows written otherwise stay as they are.
(function () {
  const pattern = /^\s*(?:(\d{4})\s*[-\/.\u5e74]\s*)?(\d{1,2})\s*[-\/.\u6708]\s*(\d{1,2})\s*\u65e5?(?:\s+(\d{1,2})[:\uff1a](\d{2}))?\s*(.*)$/;

  const nextDate = (m) => {
    const [, year, month, day, hour, minute] = m;
    const at = (y) => new Date(y, Number(month) - 1, Number(day), Number(hour || 0), Number(minute || 0));
    if (year) return at(Number(year));
    // A date without its year: this year's, or next year's once this year's has passed by a day.
    const now = new Date();
    const date = at(now.getFullYear());
    return now - date > 24 * 3600 * 1000 ? at(now.getFullYear() + 1) : date;
  };

  // The script runs once per pasted copy of the effect; a list already counting is left alone.
  document.querySelectorAll('.vl-cdown:not([data-vl-ready])').forEach((list) => {
    list.dataset.vlReady = '';
    const words = (list.dataset.words || '||d|h|m|s|').split('|');
    const rows = [];
    list.querySelectorAll('li').forEach((li) => {
      const m = pattern.exec(li.textContent);
      if (!m) return;
      const target = nextDate(m);
      if (Number.isNaN(target.getTime())) return;
      li.dataset.vlTarget = target.toISOString();
      const name = document.createElement('span');
      name.className = 'vl-cdown-name';
      name.textContent = m[6] || li.textContent.trim();
      const time = document.createElement('time');
      time.dateTime = li.dataset.vlTarget;
      li.replaceChildren(`${words[0] || ''} `, name, ` ${words[1] || ''} `, time);
      rows.push({ li, time, target });
    });
    if (rows.length === 0) return;

    const number = (n, unit) => `<b class="vl-cdown-num"><span>${n}</span></b>${unit}`;
    const two = (n) => String(n).padStart(2, '0');
    const tick = () => {
      const now = Date.now();
      rows.forEach(({ li, time, target }) => {
        let left = Math.floor((target - now) / 1000);
        if (left <= 0) {
          // Past dates: a yearly one on its day, or one with a year that is gone.
          li.classList.add('vl-cdown-done');
          time.textContent = words[6] || '';
          return;
        }
        const days = Math.floor(left / 86400);
        left %= 86400;
        time.innerHTML = number(days, words[2]) + number(two(Math.floor(left / 3600)), words[3])
          + number(two(Math.floor((left % 3600) / 60)), words[4]) + number(two(left % 60), words[5]);
      });
      // Aimed at the start of the next second, so no second is skipped.
      window.setTimeout(tick, 1000 - (Date.now() % 1000));
    };
    tick();
  });
})();
