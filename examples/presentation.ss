# A small presentation: a menu of four boxes, chosen with the keys 1 to 4 or by clicking a
# box (Escape or Q ends it too). It plays demo.vnt from the current directory, shows a picture
# drawn in a bitmap, fades the window out and in again, and ends by fading out and closing
# its window.
#
#   vantscw presentation.ss

varset video "demo.vnt"
screenwindowtitle "Vant presentation"
screengraphics ok 320 240
if ok = 0 end
screenfadespeed 15
# Text with the transparent colour as its back colour has no box behind it.
textcolor 63
textbackcolor 128
gosub "menu"

:choose
inputchar key
if key = "1" gosub "play"
if key = "2" gosub "picture"
if key = "3" gosub "fade"
if key = "4" goto "finish"
if key = "q" goto "finish"
if key = "ESCAPE" goto "finish"
goto "choose"

# The menu: a title band, one box for each choice with a mouse area named after its key,
# and a line of help at the bottom.
:menu
mouseremoveall
screenclear 0
screenfilledbox 0 0 320 32 216
textsetxy 92 8
textnocr "Vant presentation"
varset y 52
varset n 1
:menubox
screenfilledbox 60 y 200 28 204
screenbox 60 y 200 28 40
compute ty y + 6
textsetxy 76 ty
if n = 1 varset label "Play the video"
if n = 2 varset label "A picture in a bitmap"
if n = 3 varset label "Fade out and in"
if n = 4 varset label "End"
textnocr "%N%   %LABEL%"
mouseadd n 60 y 200 28 0
compute y y + 40
compute n n + 1
if n <= 4 goto "menubox"
varset line "Press 1 to 4 or click a box."
gosub "status"
return

# LINE centred on the bottom row.
:status
screenfilledbox 0 212 320 28 0
strlength length line
compute x length * 8
compute x 320 - x
compute x x / 2
textsetxy x 218
textnocr line
return

# The video, centred, with the menu under it put back afterwards; Escape stops it.
:play
animationplay played -1 -1 1 144 video
if played = 0 varset line "%VIDEO% is not in this directory."
if played = 0 gosub "status"
return

# A picture built in a bitmap: blue stripes, a frame and a text, then a smaller bitmap laid
# over it with its black pixels left out.
:picture
bitmapalloc picture 160 96
if picture = 0 return
varset x 0
:stripe
compute shade x / 5
compute shade 224 + shade
bitmapline picture x 0 x 95 shade
compute x x + 1
if x < 160 goto "stripe"
bitmapbox picture 0 0 159 95 63
bitmaptext picture 12 40 "Drawn in a bitmap"
bitmapalloc mark 24 24
bitmapclear mark 0
bitmapfilledbox mark 4 4 16 16 127
bitmapline mark 0 0 23 23 191
bitmaptobitmaptrans mark picture 128 64 0
bitmaptoscreen picture 80 60
bitmapfree mark
varset line "Press a key to go back."
gosub "status"
inputchar back
bitmapfree picture
gosub "menu"
return

# The window fades to black, the menu is drawn again in the dark, and the colours come back.
:fade
bitmapalloc colours 1 1
bitmapgetpalette colours
screenfadeoutclear 0
gosub "menu"
bitmapfadeinpalette colours
bitmapfree colours
return

:finish
mouseremoveall
screenfadeoutclear 0
screentext
end
