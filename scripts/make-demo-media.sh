#!/usr/bin/env bash
# Makes the pictures and the music of the demo show into the folder given as argument:
# pictures drawn with ImageMagick, music synthesised with SoX (MP3 through ffmpeg or lame when
# available, WAV otherwise). Everything is drawn from fixed seeds, so two runs give the same media.
# Files already there are kept; delete the folder to make them again.
set -euo pipefail

out=${1:?usage: make-demo-media.sh OUTPUT_DIR}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for tool in convert sox ffmpeg; do
  command -v "$tool" >/dev/null || { echo "make-demo-media: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
[ -r "$font" ] || font=""

# Runs the maker of FILE unless FILE is already there; writes into a temporary name first so an
# interrupted run leaves no half-written picture behind.
picture() {
  local file=$1 maker=$2
  [ -s "$out/$file" ] && return 0
  local ext=${file##*.}
  "$maker" "$work/new.$ext"
  mv "$work/new.$ext" "$out/$file"
  echo "make-demo-media: $out/$file"
}

# Draw primitives scattered by a seeded generator: scatter SEED COUNT W H KIND.
scatter() {
  awk -v seed="$1" -v n="$2" -v w="$3" -v h="$4" -v kind="$5" 'BEGIN {
    srand(seed)
    for (i = 0; i < n; i++) {
      x = int(rand() * w); y = int(rand() * h)
      if (kind == "star") {
        r = rand() < 0.9 ? 1 : 2
        printf "fill rgba(255,255,240,%.2f) circle %d,%d %d,%d\n", 0.4 + rand() * 0.6, x, y, x + r, y
      } else if (kind == "bokeh") {
        r = 30 + int(rand() * 110); hue = int(rand() * 6)
        split("255,120,60 255,200,80 120,220,255 255,90,160 160,255,140 200,140,255", c, " ")
        printf "fill rgba(%s,%.2f) circle %d,%d %d,%d\n", c[hue + 1], 0.25 + rand() * 0.35, x, y, x + r, y
      }
    }
  }'
}

# A 1920 x 1080 sunrise: sky gradient, a glowing sun, three ranges of hills.
dawn() {
  convert -size 1920x1080 gradient:'#101848'-'#ff9a3c' \
    \( -size 1920x1080 xc:none -fill 'rgba(255,230,150,0.9)' -draw 'circle 1200,700 1200,520' -blur 0x60 \) -composite \
    -fill '#fff3c4' -draw 'circle 1200,700 1200,600' \
    -fill '#5a2e4a' -draw 'path "M 0,760 Q 400,600 800,740 T 1920,700 L 1920,1080 L 0,1080 Z"' \
    -fill '#3a1c38' -draw 'path "M 0,860 Q 500,720 1000,860 T 1920,820 L 1920,1080 L 0,1080 Z"' \
    -fill '#1e0e22' -draw 'path "M 0,960 Q 600,860 1200,970 T 1920,940 L 1920,1080 L 0,1080 Z"' \
    -quality 90 "$1"
}

# A 1600 x 1200 aurora: fractal plasma folded into green and violet curtains over a starry night.
aurora() {
  convert -seed 11 -size 400x300 plasma:fractal -colorspace Gray -blur 0x4 -auto-level -set colorspace sRGB \
    -resize 1600x1400! -background black -wave 60x700 -gravity center -crop 1600x1200+0+0 +repage \
    -gravity northwest -sigmoidal-contrast 6x55% \( -size 1x256 gradient:'#020818'-'#39f5a8' \) -clut \
    \( -size 1600x1200 gradient:'#7a3cff'-'#000000' \) -compose screen -composite -compose over \
    -draw "$(scatter 5 700 1600 1200 star)" -type TrueColor -quality 90 "$1"
}

# An 800 x 1200 portrait: a lighthouse on a rock at dusk, its beam across the sky.
lighthouse() {
  convert -size 800x1200 gradient:'#0b1d3a'-'#f07a5a' \
    -draw "$(scatter 9 120 800 500 star)" \
    -fill '#123a5c' -draw 'rectangle 0,900 800,1200' \
    -fill 'rgba(255,250,200,0.35)' -draw 'polygon 420,330 800,180 800,420' \
    -fill '#2b2b33' -draw 'path "M 150,1200 Q 200,930 420,900 Q 650,930 700,1200 Z"' \
    -fill '#f2f2f2' -draw 'polygon 370,900 470,900 450,380 390,380' \
    -fill '#c8323c' -draw 'polygon 367,820 473,820 468,740 372,740' \
    -fill '#c8323c' -draw 'polygon 377,620 463,620 459,540 381,540' \
    -fill '#333' -draw 'rectangle 380,330 460,380' \
    -fill '#fff6b0' -draw 'rectangle 392,340 448,372' \
    -fill '#c8323c' -draw 'polygon 372,330 468,330 420,280' \
    -quality 90 "$1"
}

# A 1920 x 1080 range of peaks fading into the mist.
peaks() {
  convert -size 1920x1080 gradient:'#dbe9f6'-'#7fa7c9' \
    -fill '#9db7cf' -draw 'polygon 0,640 250,380 480,560 760,300 1050,580 1300,360 1600,560 1920,420 1920,1080 0,1080' \
    -fill '#6f8fb0' -draw 'polygon 0,760 320,520 600,700 900,470 1200,720 1500,540 1920,700 1920,1080 0,1080' \
    -fill '#47678a' -draw 'polygon 0,880 200,700 520,860 820,640 1100,860 1450,700 1920,860 1920,1080 0,1080' \
    -fill '#2a4361' -draw 'polygon 0,1000 380,840 700,980 1000,860 1400,1000 1700,900 1920,980 1920,1080 0,1080' \
    -fill 'rgba(255,255,255,0.9)' -draw 'polygon 760,300 700,356 740,350 770,372 800,340 830,350' \
    -quality 90 "$1"
}

# A 1600 x 1200 field of soft coloured lights.
bokeh() {
  convert -size 1600x1200 gradient:'#1a0b2e'-'#06121f' \
    \( -size 1600x1200 xc:none -draw "$(scatter 23 70 1600 1200 bokeh)" -blur 0x6 \) -composite \
    -quality 90 "$1"
}

# Towers of a skyline with rows of windows, some of them lit: city SEED.
city() {
  awk -v seed="$1" 'BEGIN {
    srand(seed)
    for (x = 0; x < 1920; x += w) {
      w = 90 + int(rand() * 110); h = 260 + int(rand() * 480); top = 1080 - h
      printf "fill #11131f rectangle %d,%d %d,1080\n", x, top, x + w - 6
      for (wy = top + 16; wy < 1060; wy += 26)
        for (wx = x + 10; wx + 10 < x + w - 12; wx += 18)
          if (rand() < 0.4)
            printf "fill rgb(255,%d,%d) rectangle %d,%d %d,%d\n", 200 + int(rand() * 50), 90 + int(rand() * 80), wx, wy, wx + 8, wy + 12
    }
  }'
}

# A 1920 x 1080 city at night: moon, towers, lit windows.
skyline() {
  convert -size 1920x1080 gradient:'#050814'-'#2c2f5e' \
    -draw "$(scatter 3 300 1920 500 star)" \
    \( -size 1920x1080 xc:none -fill 'rgba(255,255,220,0.5)' -draw 'circle 1500,220 1500,120' -blur 0x30 \) -composite \
    -fill '#fffbe6' -draw 'circle 1500,220 1500,150' \
    -draw "$(city 17)" -quality 90 "$1"
}

# A 1600 x 1200 swirl of marble veins from fractal noise.
marble() {
  convert -seed 29 -size 400x300 plasma:fractal -colorspace Gray -set colorspace sRGB -resize 1600x1200! \
    -function sinusoid 3,0 -swirl 160 -auto-level \
    \( -size 1x256 gradient:'#2b2f3a'-'#e8e2d4' \) -clut -type TrueColor -quality 90 "$1"
}

# A 1920 x 1080 sea: crests drawn as sine lines that crowd towards the horizon, under a bright sky.
crests() {
  awk 'BEGIN {
    for (k = 0; k < 26; k++) {
      y = 400 + 680 * (k / 26) ^ 1.7; a = 2 + k * 0.9; w = 1 + k * 0.25
      printf "stroke rgba(255,255,255,%.2f) stroke-width %.1f fill none polyline", 0.15 + k * 0.01, w
      for (x = 0; x <= 1920; x += 24) printf " %d,%.1f", x, y + a * sin(x / (60 + k * 9) + k * 1.3)
      printf "\n"
    }
  }'
}

waves() {
  convert -size 1920x1080 gradient:'#2a8fd0'-'#04304f' \
    \( -size 1920x400 gradient:'#8fd3ff'-'#eaf7ff' \) -geometry +0+0 -composite \
    \( -size 1920x1080 xc:none -fill 'rgba(255,250,220,0.8)' -draw 'circle 400,170 400,110' -blur 0x25 \) -composite \
    -fill '#fffdf0' -draw 'circle 400,170 400,125' \
    -draw "$(crests)" -quality 90 "$1"
}

# An 800 x 1200 portrait of tulips on a soft gradient.
tulips() {
  local draw="" k x top colour
  local colours=('#e63950' '#ff9f1c' '#f25caf' '#e63950' '#ffd23f')
  for k in 0 1 2 3 4; do
    x=$((110 + k * 145))
    top=$((380 + (k * 97) % 260))
    colour=${colours[$k]}
    draw+="stroke #2e7d32 stroke-width 12 line $x,$((top + 60)) $((x + (k % 2) * 30 - 15)),1200 stroke none "
    draw+="fill #388e3c path 'M $x,$((top + 440)) Q $((x + 75)),$((top + 400)) $((x + 62)),$((top + 270))"
    draw+=" Q $((x + 18)),$((top + 340)) $x,$((top + 440)) Z' "
    draw+="fill $colour ellipse $x,$top 62,88 0,360 "
    draw+="fill rgba(255,255,255,0.25) ellipse $((x - 18)),$((top - 20)) 18,50 0,360 "
  done
  convert -size 800x1200 gradient:'#fdf0d5'-'#a8d5ba' -draw "$draw" -quality 90 "$1"
}

# A 600 x 600 emblem with a transparent surround: a ring and a play sign.
badge() {
  convert -size 600x600 xc:none \
    -fill '#f5b700' -draw 'circle 300,300 300,20' \
    -fill '#1d2b53' -draw 'circle 300,300 300,60' \
    -fill '#f5b700' -draw 'polygon 235,170 235,430 450,300' \
    -depth 8 -define png:exclude-chunks=date,time "$1"
}

# A 1600 x 1200 test card: checkerboard, centre cross, corner marks, circle; where things land.
grid() {
  local label=()
  [ -n "$font" ] && label=(-font "$font" -pointsize 64 -fill white -annotate +60+1150 '1600 x 1200')
  convert -size 320x240 pattern:checkerboard -scale 500% \( -size 1x256 gradient:'#30343f'-'#454a59' \) -clut \
    -fill none -stroke '#ffffff' -strokewidth 6 -draw 'circle 800,600 800,100' \
    -draw 'line 800,0 800,1200' -draw 'line 0,600 1600,600' \
    -stroke none -fill '#e63950' -draw 'rectangle 0,0 120,120' \
    -fill '#39f5a8' -draw 'rectangle 1480,0 1600,120' \
    -fill '#3c8dff' -draw 'rectangle 0,1080 120,1200' \
    -fill '#f5b700' -draw 'rectangle 1480,1080 1600,1200' \
    "${label[@]}" -depth 8 -define png:exclude-chunks=date,time "$1"
}

# --- music -----------------------------------------------------------------------------------

# Semitones from A4 of each chord's root (arpeggio octave) and its quality.
declare -A chord_root=([C]=-9 [G]=-14 [Am]=-12 [F]=-16 [Em]=-17 [Dm]=-7)
declare -A chord_third=([C]=4 [G]=4 [Am]=3 [F]=4 [Em]=3 [Dm]=3)
# Thirty bars of two seconds: one minute.
progression=(C G Am F C G F C  Am F C G Am F G G  C G Am F C G Am Em  F G Dm G  C C)
beat=0.25 # an eighth note at 120 beats per minute

# One mono tone: tone FILE SECONDS WAVE SEMITONES_FROM_A4.
tone() {
  sox -n -r 44100 -c 1 "$1" synth "$2" "$3" "%$4"
}

# One bar of a chord: a plucked arpeggio over a soft pad and a bass note.
bar() {
  local file=$2 root=${chord_root[$1]} third=${chord_third[$1]} steps=() args=() s
  steps=(0 "$third" 7 12 $((12 + third)) 12 7 "$third")
  for s in "${steps[@]}"; do
    [ ${#args[@]} -gt 0 ] && args+=(:)
    args+=(synth "$beat" pluck "%$((root + s))" fade 0.004 "$beat" 0.03)
  done
  sox -n -r 44100 -c 1 "$work/arp.wav" "${args[@]}"
  tone "$work/pad1.wav" 2 triangle $((root - 12))
  tone "$work/pad2.wav" 2 sine $((root - 12 + third))
  tone "$work/pad3.wav" 2 sine $((root - 5))
  sox -m "$work/pad1.wav" "$work/pad2.wav" "$work/pad3.wav" "$work/pad.wav" fade q 0.4 2 0.6
  sox -n -r 44100 -c 1 "$work/bass.wav" synth 2 sine "%$((root - 24))" fade q 0.02 2 0.5
  sox -m -v 0.55 "$work/arp.wav" -v 0.3 "$work/pad.wav" -v 0.35 "$work/bass.wav" "$file"
}

encode() {
  local wav=$1 target=$2
  local encoders=""
  command -v ffmpeg >/dev/null && encoders=$(ffmpeg -hide_banner -encoders 2>/dev/null || true)
  if [[ $encoders == *libmp3lame* ]]; then
    ffmpeg -y -loglevel error -i "$wav" -codec:a libmp3lame -b:a 160k "$target"
  elif command -v lame >/dev/null; then
    lame --quiet -b 160 "$wav" "$target"
  else
    return 1
  fi
}

music() {
  local names=() k
  for k in "${!chord_root[@]}"; do bar "$k" "$work/bar_$k.wav"; done
  for k in "${progression[@]}"; do names+=("$work/bar_$k.wav"); done
  sox "${names[@]}" "$work/theme.wav"
  sox "$work/theme.wav" -r 44100 -c 2 "$1" gain -6 reverb 45 50 80 gain -n -3 fade t 1.5 60 4
}

chime() {
  tone "$work/bell1.wav" 3 sine 15
  tone "$work/bell2.wav" 3 sine 22
  tone "$work/bell3.wav" 3 sine 27
  sox -m "$work/bell1.wav" "$work/bell2.wav" "$work/bell3.wav" -r 44100 -c 2 "$1" \
    fade p 0.005 3 2.9 reverb 60 gain -n -6
}

# A 6-second 640 x 360 clip for the video slide: the generated dawn picture zoomed and
# panned by ffmpeg, its hue turning slowly.
clip() {
  ffmpeg -nostdin -v error -y -loop 1 -framerate 25 -i "$out/dawn.jpg" -t 6 \
    -vf "scale=1280:720,zoompan=z='1+0.0025*on':x='iw/2-iw/zoom/2':y='ih/2-ih/zoom/2':d=1:s=640x360:fps=25,hue=h='t*20'" \
    -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 25 "$1"
}

# Music as MP3 when an encoder is there, else as WAV (the project names the MP3; the WAV takes
# its name so the show still finds it, and the decoder recognises the content).
make_sound() {
  local file=$1 maker=$2
  [ -s "$out/$file" ] && return 0
  "$maker" "$work/sound.wav"
  if ! encode "$work/sound.wav" "$work/sound.mp3"; then
    echo "make-demo-media: no MP3 encoder; $file holds WAV data" >&2
    cp "$work/sound.wav" "$work/sound.mp3"
  fi
  mv "$work/sound.mp3" "$out/$file"
  echo "make-demo-media: $out/$file"
}

picture dawn.jpg dawn
picture aurora.jpg aurora
picture lighthouse.jpg lighthouse
picture peaks.jpg peaks
picture bokeh.jpg bokeh
picture skyline.jpg skyline
picture marble.jpg marble
picture waves.jpg waves
picture tulips.jpg tulips
picture badge.png badge
picture grid.png grid
picture clip.mp4 clip
make_sound theme.mp3 music
make_sound chime.mp3 chime
