// Anniversary day counter: each <li> starts with a date (y-m-d, y/m/d or
// y.m.d) and a blank, then the event. The script rebuilds the line as
// "event / already N days" or "N days to go"; lines without a date stay as typed.
(() => {
  const lists = [...document.querySelectorAll('.vl-fdays:not([data-vl-ready])')];
  const rows = [];
  lists.forEach((list) => {
    list.dataset.vlReady = '';
    list.querySelectorAll('li').forEach((li) => {
      const m = li.textContent.trim().match(/^(\d{4})[-/.](\d{1,2})[-/.](\d{1,2})\s*(.*)$/s);
      if (!m) return;
      const day = new Date(Number(m[1]), Number(m[2]) - 1, Number(m[3]));
      if (day.getMonth() !== Number(m[2]) - 1) return; // no such date, e.g. 2-30
      li.textContent = '';
      const date = document.createElement('time');
      date.className = 'vl-fdays-date';
      date.dateTime = m[1] + '-' + m[2].padStart(2, '0') + '-' + m[3].padStart(2, '0');
      date.textContent = m[1] + '\u5e74' + Number(m[2]) + '\u6708' + Number(m[3]) + '\u65e5';
      const what = document.createElement('span');
      what.textContent = m[4];
      const before = document.createElement('span');
      const num = document.createElement('span');
      num.className = 'vl-fdays-num';
      const after = document.createElement('span');
      after.textContent = '\u5929';
      li.append(date, what, before, num, after);
      li.dataset.vlDays = '';
      rows.push({ li, day, before, num });
    });
  });
  const update = () => {
    const now = new Date();
    const today = new Date(now.getFullYear(), now.getMonth(), now.getDate());
    rows.forEach((r) => {
      // Rounding absorbs the hour lost or gained on daylight saving days.
      const n = Math.round((today - r.day) / 86400000);
      r.li.toggleAttribute('data-vl-future', n < 0);
      r.before.textContent = n < 0 ? ' \u8fd8\u6709' : n === 0 ? ' \u5c31\u662f\u4eca\u5929\uff0c\u7b2c' : ' \u5df2\u7ecf';
      r.num.textContent = String(n < 0 ? -n : n || 1);
    });
    // Run again just after the next midnight.
    const next = new Date(now.getFullYear(), now.getMonth(), now.getDate() + 1, 0, 0, 5);
    setTimeout(update, next - now);
  };
  if (rows.length) update();
})();
