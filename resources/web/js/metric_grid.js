// A plain metric grid under a Leaflet map: lines a round number of metres
// apart (1, 2 or 5 times a power of ten, at least 80 pixels), redrawn as the
// map moves, so that distances can be read on a map without tiles.
"use strict";

function ZvMetricGrid(map) {
    var container = map.getContainer();
    var canvas = document.createElement("canvas");
    canvas.className = "zv-grid";
    container.insertBefore(canvas, container.firstChild);

    function step(metresPerPixel) {
        var least = metresPerPixel * 80;
        var decade = Math.pow(10, Math.floor(Math.log10(least)));
        var factors = [1, 2, 5, 10];
        for (var i = 0; i < factors.length; ++i) {
            if (factors[i] * decade >= least)
                return factors[i] * decade;
        }
        return 10 * decade;
    }

    function draw() {
        var size = map.getSize();
        var ratio = window.devicePixelRatio || 1;
        canvas.width = Math.round(size.x * ratio);
        canvas.height = Math.round(size.y * ratio);
        canvas.style.width = size.x + "px";
        canvas.style.height = size.y + "px";
        var context = canvas.getContext("2d");
        context.setTransform(ratio, 0, 0, ratio, 0, 0);
        context.clearRect(0, 0, size.x, size.y);
        // Metres per pixel of the Web Mercator plane at the centre's latitude.
        var latitude = map.getCenter().lat * Math.PI / 180;
        var metresPerPixel = 40075016.686 * Math.cos(latitude) / Math.pow(2, map.getZoom() + 8);
        if (!(metresPerPixel > 0))
            return;
        var pixels = step(metresPerPixel) / metresPerPixel;
        // Lines stay on the same places of the plane as the map moves.
        var origin = map.getPixelBounds().min;
        context.strokeStyle = "#c8c8c8";
        context.lineWidth = 1;
        context.beginPath();
        for (var x = Math.ceil(origin.x / pixels) * pixels - origin.x; x < size.x; x += pixels) {
            context.moveTo(Math.round(x) + 0.5, 0);
            context.lineTo(Math.round(x) + 0.5, size.y);
        }
        for (var y = Math.ceil(origin.y / pixels) * pixels - origin.y; y < size.y; y += pixels) {
            context.moveTo(0, Math.round(y) + 0.5);
            context.lineTo(size.x, Math.round(y) + 0.5);
        }
        context.stroke();
    }

    map.on("move zoom resize viewreset", draw);
    draw();
}
