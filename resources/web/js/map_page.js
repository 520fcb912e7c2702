// What the monitor's map pages share: the values the monitor hands a page in
// its address, the note a page shows over the map, and, for the pages drawn
// with Leaflet, the page interface the monitor calls:
//   AddMarker(latitude, longitude, autoCenter)  degrees, south and west negative
//   PlotTrace(on)                               draw the trace of the markers or not
//   CleanTrace()                                erase the trace at the next marker
"use strict";

// A value of the page's address ("" when it is not there).
function ZvParam(name) {
    var value = new URLSearchParams(window.location.search).get(name);
    return value === null ? "" : value;
}

// A map service's address from the page's address: the value of name with
// the value "key", percent-encoded, in place of each "{key}".
function ZvServiceAddress(name) {
    return ZvParam(name).split("{key}").join(encodeURIComponent(ZvParam("key")));
}

// Shows a text over the map, or hides it when text is empty. The text is
// shown as text, never read as markup.
function ZvNote(text) {
    var note = document.getElementById("note");
    note.textContent = text;
    note.style.display = text ? "block" : "none";
}

// A text inside a double-quoted attribute of markup.
function ZvAttribute(text) {
    return String(text).replace(/&/g, "&amp;").replace(/"/g, "&quot;").replace(/</g, "&lt;").replace(/>/g, "&gt;");
}

// The map stays in its view: a link clicked on the map (a credit, the map
// service's logo) does not take the view away from the page the monitor drives.
document.addEventListener("click", function (event) {
    if (event.target.closest && event.target.closest("a[href]"))
        event.preventDefault();
}, true);

var ZV_TRACE_MAX_POINTS = 5000;

// Defines AddMarker, PlotTrace and CleanTrace on a Leaflet map. options:
//   tracing           whether the trace is drawn from the start
//   stopClearsAtOnce  PlotTrace(0) erases the trace at once, not at the next marker
//   toMap             turns a fix's [latitude, longitude] (WGS-84) into the
//                     map's coordinates; none: the map's are WGS-84
// The trace holds points only while it is drawn, and its newest
// ZV_TRACE_MAX_POINTS of them.
function ZvInstallMapInterface(map, options) {
    var trace = L.polyline([], {color: "#3390d7", weight: 5, opacity: 1}).addTo(map);
    var marker = null;
    var tracing = !!options.tracing;
    var cleanRequested = false;

    function clearTrace() {
        trace.setLatLngs([]);
    }

    window.AddMarker = function (latitude, longitude, autoCenter) {
        var point = L.latLng(options.toMap ? options.toMap(latitude, longitude) : [latitude, longitude]);
        if (marker === null) {
            marker = L.circleMarker(point, {radius: 8, color: "#ffffff", weight: 2, fillColor: "#e02020",
                                            fillOpacity: 1}).addTo(map);
        } else {
            marker.setLatLng(point);
        }
        if (autoCenter)
            map.panTo(point);
        if (tracing) {
            var points = trace.getLatLngs();
            points.push(point);
            if (points.length > ZV_TRACE_MAX_POINTS)
                points.shift();
            trace.setLatLngs(points);
        }
        if (cleanRequested) {
            clearTrace();
            cleanRequested = false;
        }
    };

    window.PlotTrace = function (on) {
        if (!on && options.stopClearsAtOnce && tracing)
            clearTrace();
        else if (!on)
            cleanRequested = true;
        tracing = !!on;
    };

    window.CleanTrace = function () {
        cleanRequested = true;
    };

    // For a look from outside: the points of the trace, oldest first.
    window.ZvTrace = function () {
        return trace.getLatLngs();
    };
}
