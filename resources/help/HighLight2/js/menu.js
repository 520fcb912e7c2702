// The help page's menu: an entry (or a link "#partN" anywhere on the page)
// marks its entry active and shows its part alone, from its top.
"use strict";

function ZvShowPart(number) {
    var entries = document.querySelectorAll("#menu a");
    var parts = document.querySelectorAll(".part");
    if (!(number >= 1 && number <= parts.length))
        number = 1;
    for (var i = 0; i < parts.length; ++i) {
        parts[i].style.display = i === number - 1 ? "block" : "none";
        if (i < entries.length)
            entries[i].classList.toggle("active", i === number - 1);
    }
    document.getElementById("content").scrollTop = 0;
}

document.addEventListener("click", function (event) {
    var link = event.target.closest("a[href^='#part']");
    if (link === null)
        return;
    event.preventDefault();
    ZvShowPart(Number(link.getAttribute("href").substring(5)));
});

ZvShowPart(1);
