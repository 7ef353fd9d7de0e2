#!/usr/bin/env bash
# Regenerates the splash artwork (400 x 320 JPEG) with ImageMagick and Noto CJK.
set -euo pipefail
out=${1:-"$(dirname "$0")/../client/resources/splash.jpg"}
convert -size 400x320 gradient:'#0d3b78-#3f8fd8' \
  \( -size 400x320 radial-gradient:'rgba(255,255,255,0.35)-rgba(255,255,255,0)' \) \
  -compose over -composite \
  -fill 'rgba(255,255,255,0.85)' -draw 'rectangle 40,206 360,208' \
  -font Noto-Sans-CJK-SC-Bold -fill white -gravity north -pointsize 56 -annotate +0+70 'Orvanta' \
  -font Noto-Sans-CJK-SC -pointsize 24 -annotate +0+150 '同行协作办公信息系统' \
  -pointsize 15 -fill '#dbe9ff' -annotate +0+222 '旅游从业者工作必备百宝箱' \
  -pointsize 13 -gravity south -annotate +0+18 '正在启动，请稍候……' \
  -strip -quality 88 "$out"
