#!/usr/bin/env bash
# A private Dovecot POP3 server for tests and the demo, on 127.0.0.1 and free ports.
#
#   dovecot-fixture.sh start DIR [USERS_FILE [SEED_DIR]]
#                                               configure and start; facts go to DIR/facts
#   dovecot-fixture.sh stop DIR                 stop the server started in DIR and remove DIR
#   dovecot-fixture.sh certificate DIR CERT KEY the server started in DIR presents that
#                                               certificate (PEM files) from now on
#
# DIR/facts is a shell-sourceable file (KEY=VALUE lines):
#   HOST, POP3_PORT (plain, STLS offered), POP3S_PORT (TLS from the first byte), CA_FILE (the
#   test CA that signed the server's certificate for "localhost"), USERS_DIR (one passwd-file
#   per user, named after the user, holding "name:{PLAIN}password"; users may be added while the
#   server runs: a file per user is read afresh, where one shared file would be re-read at most
#   once a second), MAIL_ROOT (each user's maildir is MAIL_ROOT/NAME/Maildir), MAIL_UID,
#   MAIL_GID (owner the maildir files must be readable and writable by), PID, LOG.
# USERS_FILE, when given, holds the initial users ("name:{PLAIN}password" lines); maildirs are
# made for them. SEED_DIR/NAME/*, when given, are messages delivered to user NAME, in file-name
# order, each file name becoming the message's unique id.
# Unique ids are the maildir base file names (pop3_uidl_format = %g), so tests choose them.
# With OAUTH2_INTROSPECTION_URL set when starting, the server also offers XOAUTH2 and
# OAUTHBEARER and checks their tokens with Dovecot's oauth2 passdb, which posts each token to that
# URL (RFC 7662 introspection: {"active": true, "username": NAME, "scope": "pop"} lets NAME in;
# an answer without the username or the scope does not).
set -euo pipefail

die() {
    echo "dovecot-fixture: $*" >&2
    exit 1
}

command -v dovecot >/dev/null || die "dovecot is not installed (packages dovecot-core, dovecot-pop3d)"

listening_ports() { # every TCP port some socket listens on, in decimal
    local file
    for file in /proc/net/tcp /proc/net/tcp6; do
        [[ -r $file ]] || continue
        local hex
        for hex in $(awk 'NR > 1 && $4 == "0A" { split($2, a, ":"); print a[2] }' "$file"); do
            echo $((16#$hex))
        done
    done
}

pick_port() { # a port nobody listens on, and not one of the arguments
    local busy port
    busy=" $(listening_ports | tr '\n' ' ') $* "
    while :; do
        port=$((20000 + RANDOM % 40000))
        [[ $busy == *" $port "* ]] || break
    done
    echo "$port"
}

port_open() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

make_certificates() { # DIR: a CA and a server certificate for localhost signed by it
    local dir=$1
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quobel Test CA" \
        -keyout "$dir/ca.key" -out "$dir/ca.pem" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
        2>/dev/null
    openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" \
        -keyout "$dir/server.key" -out "$dir/server.csr" 2>/dev/null
    printf 'subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' \
        >"$dir/server.ext"
    openssl x509 -req -in "$dir/server.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" \
        -CAcreateserial -days 2 -extfile "$dir/server.ext" -out "$dir/server.pem" 2>/dev/null
    chmod 0644 "$dir/ca.pem" "$dir/server.pem"
    chmod 0600 "$dir/server.key" "$dir/ca.key"
}

start() {
    local dir=$1 users_in=${2:-} seed=${3:-}
    # A fixture left behind by an interrupted run is stopped first.
    [[ -e "$dir/facts" ]] && stop "$dir"
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    # Unix sockets have short path limits, so the runtime folder lives in /tmp.
    local run
    run=$(mktemp -d /tmp/qb-dovecot.XXXXXX)
    chmod 0755 "$run"
    mkdir -p "$run/base" "$run/state" "$run/mail" "$run/tls"

    local login_user internal_user mail_uid mail_gid
    if [[ $(id -u) -eq 0 ]]; then
        # Dovecot's login and mail processes refuse to run as root: use the package's users.
        login_user=dovenull
        internal_user=dovecot
        mail_uid=$(id -u dovecot)
        mail_gid=$(id -g dovecot)
    else
        login_user=$(id -un)
        internal_user=$login_user
        mail_uid=$(id -u)
        mail_gid=$(id -g)
    fi

    make_certificates "$run/tls"
    local users="$run/users"
    mkdir -p "$users"
    chown "$mail_uid:$mail_gid" "$run/mail"
    local name line
    if [[ -n $users_in ]]; then
        while IFS= read -r line; do
            name=${line%%:*}
            [[ -z $name || $name == \#* ]] && continue
            printf '%s\n' "$line" >"$users/$name"
            chmod 0644 "$users/$name"
            mkdir -p "$run/mail/$name/Maildir/"{new,cur,tmp}
            if [[ -n $seed && -d "$seed/$name" ]]; then
                find "$seed/$name" -maxdepth 1 -type f -exec cp -t "$run/mail/$name/Maildir/new" {} +
            fi
            chown -R "$mail_uid:$mail_gid" "$run/mail/$name"
        done <"$users_in"
    fi

    local dh=/usr/share/dovecot/dh.pem
    if [[ ! -r $dh ]]; then
        dh="$run/tls/dh.pem"
        openssl dhparam -out "$dh" 2048 2>/dev/null
    fi

    local mechanisms="plain login apop" oauth_passdb="" plain_mechanisms=""
    if [[ -n ${OAUTH2_INTROSPECTION_URL:-} ]]; then
        mechanisms+=" xoauth2 oauthbearer"
        cat >"$run/dovecot-oauth2.conf.ext" <<EOF
introspection_mode = post
introspection_url = $OAUTH2_INTROSPECTION_URL
force_introspection = yes
username_attribute = username
scope = pop
EOF
        oauth_passdb="passdb {
  driver = oauth2
  mechanisms = xoauth2 oauthbearer
  args = $run/dovecot-oauth2.conf.ext
}"
        plain_mechanisms="  mechanisms = plain login apop"
    fi

    local attempt pop3_port pop3s_port conf="$run/dovecot.conf"
    for attempt in 1 2 3 4 5 6 7 8; do
        pop3_port=$(pick_port)
        pop3s_port=$(pick_port "$pop3_port")
        cat >"$conf" <<EOF
instance_name = quobel-$(basename "$run")
base_dir = $run/base
state_dir = $run/state
log_path = $run/dovecot.log
protocols = pop3
listen = 127.0.0.1
default_login_user = $login_user
default_internal_user = $internal_user
first_valid_uid = 1
first_valid_gid = 1
disable_plaintext_auth = no
auth_mechanisms = $mechanisms
auth_failure_delay = 0
ssl = yes
ssl_cert = <$run/tls/server.pem
ssl_key = <$run/tls/server.key
ssl_dh = <$dh
mail_location = maildir:$run/mail/%u/Maildir
pop3_uidl_format = %g
$oauth_passdb
passdb {
  driver = passwd-file
  args = scheme=PLAIN username_format=%u $users/%u
$plain_mechanisms
}
userdb {
  driver = static
  args = uid=$mail_uid gid=$mail_gid home=$run/mail/%u
}
service pop3-login {
  inet_listener pop3 {
    address = 127.0.0.1
    port = $pop3_port
  }
  inet_listener pop3s {
    address = 127.0.0.1
    port = $pop3s_port
    ssl = yes
  }
}
service anvil {
  chroot =
}
service stats {
  unix_listener stats-reader {
    mode = 0666
  }
  unix_listener stats-writer {
    mode = 0666
  }
}
EOF
        if dovecot -c "$conf" 2>"$run/start.err"; then
            local waited=0
            while ! { port_open "$pop3_port" && port_open "$pop3s_port"; }; do
                sleep 0.1
                waited=$((waited + 1))
                ((waited < 300)) || die "dovecot did not open its ports: $(cat "$run/dovecot.log" 2>/dev/null)"
            done
            {
                echo "HOST=127.0.0.1"
                echo "POP3_PORT=$pop3_port"
                echo "POP3S_PORT=$pop3s_port"
                echo "CA_FILE=$run/tls/ca.pem"
                echo "USERS_DIR=$users"
                echo "MAIL_ROOT=$run/mail"
                echo "MAIL_UID=$mail_uid"
                echo "MAIL_GID=$mail_gid"
                echo "PID=$(cat "$run/base/master.pid")"
                echo "LOG=$run/dovecot.log"
                echo "RUN_DIR=$run"
            } >"$dir/facts"
            echo "dovecot-fixture: POP3 on 127.0.0.1:$pop3_port, POP3S on 127.0.0.1:$pop3s_port"
            return 0
        fi
        # Another process may have taken a port in the meantime: try other ones.
        grep -qi "address already in use" "$run/start.err" "$run/dovecot.log" 2>/dev/null ||
            die "dovecot failed to start: $(cat "$run/start.err" "$run/dovecot.log" 2>/dev/null)"
    done
    die "no free ports found"
}

stop() {
    local dir=$1
    [[ -r "$dir/facts" ]] || return 0
    local PID="" RUN_DIR=""
    # shellcheck disable=SC1091
    source "$dir/facts"
    if [[ -n $PID ]] && kill -0 "$PID" 2>/dev/null; then
        kill "$PID"
        local waited=0
        while kill -0 "$PID" 2>/dev/null && ((waited < 100)); do
            sleep 0.1
            waited=$((waited + 1))
        done
        kill -0 "$PID" 2>/dev/null && kill -KILL "$PID"
    fi
    [[ $RUN_DIR == /tmp/qb-dovecot.* ]] && rm -rf "$RUN_DIR"
    rm -rf "$dir"
}

certificate() { # DIR CERT KEY: swap the server's certificate and reload
    local dir=$1 cert=$2 key=$3
    [[ -r "$dir/facts" ]] || die "no server runs in $dir"
    local PID="" RUN_DIR="" POP3S_PORT="" LOG=""
    # shellcheck disable=SC1091
    source "$dir/facts"
    cp "$cert" "$RUN_DIR/tls/server.pem"
    cp "$key" "$RUN_DIR/tls/server.key"
    chmod 0644 "$RUN_DIR/tls/server.pem"
    chmod 0600 "$RUN_DIR/tls/server.key"
    kill -HUP "$PID"
    # The reload restarts the login processes: done once a handshake shows the new certificate.
    local wanted shown waited=0
    wanted=$(openssl x509 -noout -fingerprint -sha256 -in "$cert")
    while :; do
        shown=$(openssl s_client -connect "127.0.0.1:$POP3S_PORT" </dev/null 2>/dev/null |
            openssl x509 -noout -fingerprint -sha256 2>/dev/null || true)
        [[ $shown == "$wanted" ]] && return 0
        sleep 0.1
        waited=$((waited + 1))
        ((waited < 150)) || die "dovecot did not take the new certificate: $(tail -5 "$LOG" 2>/dev/null)"
    done
}

case "${1:-}" in
start) [[ $# -ge 2 ]] || die "usage: $0 start DIR [USERS_FILE [SEED_DIR]]"; start "$2" "${3:-}" "${4:-}" ;;
stop) [[ $# -eq 2 ]] || die "usage: $0 stop DIR"; stop "$2" ;;
certificate) [[ $# -eq 4 ]] || die "usage: $0 certificate DIR CERT KEY"; certificate "$2" "$3" "$4" ;;
*) die "usage: $0 start DIR [USERS_FILE [SEED_DIR]] | stop DIR | certificate DIR CERT KEY" ;;
esac
