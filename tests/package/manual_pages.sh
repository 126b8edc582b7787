#!/usr/bin/env bash
# The manual pages say what the programs say of themselves: every option that the --help of
# quorvel-board, of quorvel-cli and of each quorvel-cli command prints is in the program's page,
# and every exit status that a quorvel-cli command names is in that page's EXIT STATUS.
#   manual_pages.sh MANUAL_FOLDER QUORVEL_CLI QUORVEL_BOARD
set -euo pipefail
pages=$1
cli=$2
board=$3
missing=0

# The page as words: roff's escaped hyphens and font changes taken out.
page_text() { # NAME
    gzip -dc "$pages/$1.1.gz" | sed 's/\\-/-/g; s/\\f[BIRP]//g'
}

# The options a help text names: words that begin with one or two hyphens.
options_in() { # HELP_TEXT
    grep -oE -- '(^|[][ ,|(])--?[A-Za-z][A-Za-z-]*' <<<"$1" | sed 's/^[][ ,|(]//' | sort -u
}

expect_options() { # PAGE_NAME PAGE_TEXT HELP_TEXT WHOSE_HELP
    local option
    for option in $(options_in "$3"); do
        if ! grep -qE -- "(^|[^A-Za-z-])$option([^A-Za-z-]|\$)" <<<"$2"; then
            echo "$1(1) lacks $option, which $4 prints"
            missing=1
        fi
    done
}

board_page=$(page_text quorvel-board)
expect_options quorvel-board "$board_page" "$("$board" --help)" "quorvel-board --help"

cli_page=$(page_text quorvel-cli)
usage=$("$cli" --help)
expect_options quorvel-cli "$cli_page" "$usage" "quorvel-cli --help"
exit_statuses=$(sed -n '/^\.SH EXIT STATUS/,/^\.SH/p' <<<"$cli_page")
# The commands are the indented words under "Commands:".
commands=$(sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\)\b.*/\1/p' <<<"$usage")
[ -n "$commands" ] || { echo "quorvel-cli --help names no command"; exit 1; }
for command in $commands; do
    grep -qx "\.SS $command" <<<"$cli_page" || { echo "quorvel-cli(1) has no section $command"; missing=1; }
    help=$("$cli" "$command" --help)
    expect_options quorvel-cli "$cli_page" "$help" "quorvel-cli $command --help"
    for status in $(sed -n '/^Exit status/,$p' <<<"$help" | grep -oE '(^|[ ;:])[0-9]+ ' | tr -dc '0-9\n'); do
        grep -qx "\.B $status" <<<"$exit_statuses" ||
            { echo "quorvel-cli(1) lacks the exit status $status of $command"; missing=1; }
    done
done

window_page=$(page_text quorvel)
for place in 'XDG_CONFIG_HOME/quorvel/Settings.ini' 'XDG_RUNTIME_DIR/quorvel/ports/' 'LC_MESSAGES/cport.mo'; do
    grep -qF "$place" <<<"$window_page" || { echo "quorvel(1) does not say where $place is"; missing=1; }
done
[ "$missing" -eq 0 ] || exit 1
echo "the pages of quorvel, quorvel-cli (commands: $(echo $commands)) and quorvel-board cover their --help"
