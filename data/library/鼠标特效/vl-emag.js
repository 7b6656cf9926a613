/* Image magnifier: a round lens follows the pointer over the picture and shows
   that spot enlarged (data-zoom times); data-size is the lens diameter in pixels. */
(function () {
  function setup(box) {
    var img = box.querySelector('img');
    if (!img || box.querySelector('.vl-emag-lens')) return;
    var zoom = parseFloat(box.getAttribute('data-zoom')) || 2.5;
    var size = parseInt(box.getAttribute('data-size'), 10) || 140;
    var lens = document.createElement('div');
    lens.className = 'vl-emag-lens';
    lens.setAttribute('aria-hidden', 'true');
    lens.style.width = size + 'px';
    lens.style.height = size + 'px';
    box.appendChild(lens);

    function move(e) {
      var r = img.getBoundingClientRect();
      var x = e.clientX - r.left;
      var y = e.clientY - r.top;
      if (x < 0 || y < 0 || x > r.width || y > r.height) {
        lens.classList.remove('is-on');
        return;
      }
      // the picture is drawn zoom times as large, shifted so the spot under the pointer sits in the lens centre
      lens.style.backgroundImage = 'url("' + img.currentSrc.replace(/"/g, '%22') + '")';
      lens.style.backgroundSize = (r.width * zoom) + 'px ' + (r.height * zoom) + 'px';
      lens.style.backgroundPosition = (size / 2 - x * zoom) + 'px ' + (size / 2 - y * zoom) + 'px';
      lens.style.left = (img.offsetLeft + x - size / 2) + 'px';
      lens.style.top = (img.offsetTop + y - size / 2) + 'px';
      lens.classList.add('is-on');
    }
    box.addEventListener('pointermove', move);
    box.addEventListener('pointerdown', move);
    box.addEventListener('pointerleave', function () {
      lens.classList.remove('is-on');
    });
    box.setAttribute('data-vl-ready', '1');
  }
  var boxes = document.querySelectorAll('.vl-emag');
  for (var i = 0; i < boxes.length; i++) setup(boxes[i]);
})();
