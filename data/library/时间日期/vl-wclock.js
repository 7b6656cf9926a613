// World clock: reads "Zone Name" from each list item and shows the date and
// time in that zone, updated every second. Rows that are not a known zone
// stay as written.
(function () {
  function two(n) { return (n < 10 ? '0' : '') + n; }
  function start(list) {
    if (list.dataset.vlReady) return;
    list.dataset.vlReady = '1';
    // Month, day and weekday words come from the page (see data-words)
    var w = (list.dataset.words || '/| |,|Sun|Mon|Tue|Wed|Thu|Fri|Sat').split('|');
    var clocks = [];
    Array.prototype.forEach.call(list.children, function (item) {
      var text = item.textContent.trim();
      var m = /^(\S+)\s*(.*)$/.exec(text);
      if (!m) return;
      var format;
      try {
        format = new Intl.DateTimeFormat('en-US', {
          timeZone: m[1], hourCycle: 'h23', year: 'numeric', month: 'numeric',
          day: 'numeric', weekday: 'short', hour: '2-digit', minute: '2-digit', second: '2-digit'
        });
      } catch (e) {
        return; // not a time zone this browser knows
      }
      item.dataset.vlZone = m[1];
      var name = document.createElement('span');
      name.className = 'vl-wclock-name';
      name.textContent = m[2] || m[1];
      var clock = document.createElement('time');
      clock.className = 'vl-wclock-clock';
      var day = document.createElement('time');
      day.className = 'vl-wclock-day';
      item.replaceChildren(name, clock, day);
      clocks.push({ format: format, clock: clock, day: day });
    });
    var days = { Sun: 3, Mon: 4, Tue: 5, Wed: 6, Thu: 7, Fri: 8, Sat: 9 };
    function tick() {
      var now = new Date();
      clocks.forEach(function (c) {
        var p = {};
        c.format.formatToParts(now).forEach(function (piece) { p[piece.type] = piece.value; });
        var hour = two(parseInt(p.hour, 10) % 24);
        c.clock.textContent = hour + ':' + p.minute + ':' + p.second;
        c.clock.dateTime = hour + ':' + p.minute + ':' + p.second;
        c.day.textContent = p.month + w[0] + p.day + w[1] + ' ' + w[2] + (w[days[p.weekday]] || p.weekday);
        c.day.dateTime = p.year + '-' + two(+p.month) + '-' + two(+p.day);
      });
      setTimeout(tick, 1000 - now.getMilliseconds());
    }
    tick();
  }
  var me = document.currentScript;
  var list = me && me.previousElementSibling;
  if (list && list.classList.contains('vl-wclock')) start(list);
  else document.querySelectorAll('.vl-wclock').forEach(start);
})();
