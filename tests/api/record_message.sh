#!/bin/sh
# Stands in for the user's dialog in tests: records "caption|text" and returns at once.
printf '%s|%s\n' "$1" "$2" >> "${KORVEX_MESSAGE_LOG:?}"
