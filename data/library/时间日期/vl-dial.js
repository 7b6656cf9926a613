// Dial clock: adds hour, minute and second hands on top of the face picture
// and turns them to the local time every second.
(function () {
  function start(dial) {
    if (dial.dataset.vlReady) return;
    dial.dataset.vlReady = '1';
    var color = dial.dataset.color || '#223';
    var withSeconds = dial.dataset.seconds !== '0';
    function hand(kind) {
      var el = document.createElement('span');
      el.className = 'vl-dial-hand vl-dial-' + kind;
      el.style.background = color;
      dial.append(el);
      return el;
    }
    var h = hand('h'), m = hand('m'), s = withSeconds ? hand('s') : null;
    var pin = document.createElement('span');
    pin.className = 'vl-dial-pin';
    dial.append(pin);
    function tick() {
      var now = new Date();
      var sec = now.getSeconds();
      var min = now.getMinutes() + sec / 60;
      var hour = (now.getHours() % 12) + min / 60;
      h.style.transform = 'rotate(' + (hour * 30).toFixed(2) + 'deg)';
      m.style.transform = 'rotate(' + (min * 6).toFixed(2) + 'deg)';
      if (s) s.style.transform = 'rotate(' + (sec * 6) + 'deg)';
      // Aim at the start of the next second so the hand never skips
      setTimeout(tick, 1000 - now.getMilliseconds());
    }
    tick();
  }
  var me = document.currentScript;
  var dial = me && me.previousElementSibling;
  if (dial && dial.classList.contains('vl-dial')) start(dial);
  else document.querySelectorAll('.vl-dial').forEach(start);
})();
